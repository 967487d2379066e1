# Sources of engine/proc/vision (inpainting and foreground extraction with OpenCV).
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/vision/MatBridge.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/vision/Inpaint.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/vision/ForegroundExtraction.cpp
)
