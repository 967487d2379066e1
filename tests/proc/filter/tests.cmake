# Tests of engine/proc/filter, added to test_proc.
target_sources(test_proc PRIVATE
)
