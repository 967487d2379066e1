# Tests of engine/effects, added to test_proc.
target_sources(test_proc PRIVATE
)
