# GUI-free sources of app/, added to vst_core.
target_sources(vst_core PRIVATE
    ${CMAKE_SOURCE_DIR}/app/Version.cpp
    ${CMAKE_SOURCE_DIR}/app/Translation.cpp
)
