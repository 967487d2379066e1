# Tests of engine/proc/hidden, added to test_proc.
target_sources(test_proc PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/hidden/test_hidden.cpp
)
