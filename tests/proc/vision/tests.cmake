# Tests of engine/proc/vision, added to test_proc.
target_sources(test_proc PRIVATE
)
