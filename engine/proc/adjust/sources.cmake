# Sources of engine/proc/adjust (colour adjustments), added to vst_imaging.
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/AdjustRows.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/ToneMap.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/ColorMatrix.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/ChannelHistogram.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/BrightnessContrast.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/ColorTemperature.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/HueSaturation.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/ColorBalance.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/Colorize.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/GrayBalance.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/Levels.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/Curves.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/Equalize.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/ReplaceColor.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/ChannelOps.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/BlackWhite.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/adjust/RedEye.cpp
)
