# Sources of engine/proc/paint (fills, gradients, merge, flood fill, colour replacement).
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/paint/Fill.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/paint/GradientFill.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/paint/Merge.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/paint/FloodFill.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/paint/ColorCast.cpp
)
