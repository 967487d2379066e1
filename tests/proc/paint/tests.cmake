# Tests of engine/proc/paint, added to test_proc.
target_sources(test_proc PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/paint/test_paint.cpp
)
