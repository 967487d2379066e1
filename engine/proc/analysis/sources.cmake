# Sources of engine/proc/analysis (histograms, channels, colour count, comparison, depth wording).
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/analysis/Histogram.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/analysis/Channels.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/analysis/UniqueColors.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/analysis/Compare.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/analysis/ColorDepth.cpp
)
