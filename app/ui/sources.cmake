# Widget sources of app/, added to vst_shell.
target_sources(vst_shell PRIVATE
    ${CMAKE_SOURCE_DIR}/app/ui/Style.cpp
)
