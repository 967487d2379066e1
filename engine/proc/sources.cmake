# Sources of engine/proc: the shared pieces, then one folder per family.
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/MaskBlend.cpp
)
foreach(family adjust filter retouch geometry paint vision analysis hidden)
    include(proc/${family}/sources.cmake)
endforeach()
