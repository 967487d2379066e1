# Widget sources of app/, added to vst_shell.
target_sources(vst_shell PRIVATE
    ${CMAKE_SOURCE_DIR}/app/ui/Style.cpp
    ${CMAKE_SOURCE_DIR}/app/ui/MessageDlg.cpp
    ${CMAKE_SOURCE_DIR}/app/ui/MenuTable.cpp
    ${CMAKE_SOURCE_DIR}/app/ui/SingleInstance.cpp
    ${CMAKE_SOURCE_DIR}/app/ui/Main.cpp
    ${CMAKE_SOURCE_DIR}/app/ui/MainFiles.cpp
    ${CMAKE_SOURCE_DIR}/app/ui/MainClose.cpp
    ${CMAKE_SOURCE_DIR}/app/ui/MainTranslate.cpp
    ${CMAKE_SOURCE_DIR}/app/ui/MainStatus.cpp
)
