# Tests of engine/proc/retouch, added to test_proc.
target_sources(test_proc PRIVATE
)
