# Tests of engine/proc/retouch, added to test_proc.
target_sources(test_proc PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/retouch/test_retouch.cpp
)
