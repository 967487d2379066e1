# GUI-free sources of app/, added to vst_core.
target_sources(vst_core PRIVATE
    ${CMAKE_SOURCE_DIR}/app/Version.cpp
    ${CMAKE_SOURCE_DIR}/app/Translation.cpp
    ${CMAKE_SOURCE_DIR}/app/SettingsStore.cpp
    ${CMAKE_SOURCE_DIR}/app/AppFolders.cpp
    ${CMAKE_SOURCE_DIR}/app/SamplesFolder.cpp
    ${CMAKE_SOURCE_DIR}/app/HandOverRecord.cpp
    ${CMAKE_SOURCE_DIR}/app/RecentFiles.cpp
    ${CMAKE_SOURCE_DIR}/app/VisionCheck.cpp
)
# The start-up check that inpainting and foreground extraction work.
target_link_libraries(vst_core PRIVATE opencv_imgproc opencv_photo)
