# Tests of engine/proc/analysis, added to test_proc.
target_sources(test_proc PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/analysis/test_analysis.cpp
)
