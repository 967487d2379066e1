# Sources of engine/project, added to vst_imaging.
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/project/ByteSource.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/project/StreamReader.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/project/StreamWriter.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/project/BlockReader.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/project/ParallelDeflate.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/project/RawBitmap.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/project/Thumbnail.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/project/CodecPixels.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/project/LayerRecord.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/project/LayerStream.cpp
)
