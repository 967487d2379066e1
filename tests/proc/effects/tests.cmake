# Tests of engine/effects, added to test_proc.
target_sources(test_proc PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/effects/test_effects.cpp
)
