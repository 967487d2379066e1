# Tests of engine/proc/adjust, added to test_proc.
target_sources(test_proc PRIVATE
)
