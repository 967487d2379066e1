# Tests of engine/proc/paint, added to test_proc.
target_sources(test_proc PRIVATE
)
