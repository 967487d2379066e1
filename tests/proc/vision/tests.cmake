# Tests of engine/proc/vision, added to test_proc.
target_sources(test_proc PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/vision/test_vision.cpp
)
