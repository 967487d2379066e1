# Sources of engine/proc/geometry (geometry and colour modes), added to vst_imaging.
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/geometry/Rotate.cpp
)
