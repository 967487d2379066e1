# Widget sources of project/, added to vst_shell.
target_sources(vst_shell PRIVATE
    ${CMAKE_SOURCE_DIR}/project/ui/VariantView.cpp
    ${CMAKE_SOURCE_DIR}/project/ui/CloseTabSheet.cpp
    ${CMAKE_SOURCE_DIR}/project/ui/ClosePageControl.cpp
    ${CMAKE_SOURCE_DIR}/project/ui/TabContent.cpp
    ${CMAKE_SOURCE_DIR}/project/ui/TabsListWindow.cpp
    ${CMAKE_SOURCE_DIR}/project/ui/EditorTabs.cpp
    ${CMAKE_SOURCE_DIR}/project/ui/SaveProject.cpp
)
