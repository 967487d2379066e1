# Tests of engine/project, added to test_engine.
target_sources(test_engine PRIVATE
)
