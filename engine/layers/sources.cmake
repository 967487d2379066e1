# Sources of engine/layers, added to vst_imaging.
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/Guid.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/BlendOperation.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/ShapeKind.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/Layer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/LayerStack.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/ImageLayer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/VectorLayer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/PaintStyle.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/ShapePath.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/LabelPainter.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/ShapeLayer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/LineLayer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/PolylineLayer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/TextLayer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/AngleLayer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/Blend.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/AlphaBlur.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/LayerSampler.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/Compositor.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/LayerMerge.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/layers/LayeredPsd.cpp
)
