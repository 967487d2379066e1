# Sources of engine/proc/geometry (geometry and colour modes), added to vst_imaging.
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/geometry/Rotate.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/geometry/Flip.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/geometry/Resize.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/geometry/Canvas.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/geometry/Crop.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/geometry/RoundCorners.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/geometry/ColorMode.cpp
)
