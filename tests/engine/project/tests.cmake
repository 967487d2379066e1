# Tests of engine/project, added to test_engine.
target_sources(test_engine PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/project/test_rawbitmap.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/project/test_layerstream.cpp
)
