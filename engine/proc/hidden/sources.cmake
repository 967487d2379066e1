# Sources of engine/proc/hidden (hidden data and pixel encryption), added to vst_imaging.
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/hidden/SampleBits.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/hidden/HiddenData.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/hidden/Encryption.cpp
)
