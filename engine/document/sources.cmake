# Sources of engine/document, added to vst_imaging.
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/document/Selection.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/document/UndoStack.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/document/Document.cpp
)
