# Tests of engine/proc/hidden, added to test_proc.
target_sources(test_proc PRIVATE
)
