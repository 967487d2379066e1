# GUI-free sources of project/, added to vst_core.
target_sources(vst_core PRIVATE
    ${CMAKE_SOURCE_DIR}/project/ProjectStreamPosition.cpp
    ${CMAKE_SOURCE_DIR}/project/VariantParameters.cpp
    ${CMAKE_SOURCE_DIR}/project/ProjectFile.cpp
    ${CMAKE_SOURCE_DIR}/project/MergedImage.cpp
    ${CMAKE_SOURCE_DIR}/project/ProjectFormat.cpp
    ${CMAKE_SOURCE_DIR}/project/ProjectExport.cpp
    ${CMAKE_SOURCE_DIR}/project/ImageImport.cpp
)
