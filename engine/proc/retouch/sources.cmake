# Sources of engine/proc/retouch (retouch filters inside a brush dab), added to vst_imaging.
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/retouch/DabMask.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/retouch/RetouchBrush.cpp
)
