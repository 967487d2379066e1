# Tests of engine/document, added to test_engine.
target_sources(test_engine PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/document/test_selection.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/document/test_document.cpp
)
