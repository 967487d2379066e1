# Tests of engine/layers, added to test_engine.
target_sources(test_engine PRIVATE
)
