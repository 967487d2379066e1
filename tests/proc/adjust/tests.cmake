# Tests of engine/proc/adjust, added to test_proc.
target_sources(test_proc PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/adjust/test_adjust_tone.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/adjust/test_adjust_color.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/adjust/test_adjust_auto.cpp
)
