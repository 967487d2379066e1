# Tests of engine/layers, added to test_engine.
target_sources(test_engine PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/test_layer_model.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/test_vector_layers.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/test_compositor.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/test_layered_psd.cpp
)
