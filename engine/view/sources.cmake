# Sources of engine/view (the variant view widget), added to vst_view.
target_sources(vst_view PRIVATE
    ${CMAKE_SOURCE_DIR}/engine/view/FrameRenderer.cpp
    ${CMAKE_SOURCE_DIR}/engine/view/Grips.cpp
    ${CMAKE_SOURCE_DIR}/engine/view/ImageView.cpp
    ${CMAKE_SOURCE_DIR}/engine/view/ImageView.h
    ${CMAKE_SOURCE_DIR}/engine/view/Interaction.cpp
    ${CMAKE_SOURCE_DIR}/engine/view/LayerGeometry.cpp
    ${CMAKE_SOURCE_DIR}/engine/view/LayerInteraction.cpp
    ${CMAKE_SOURCE_DIR}/engine/view/LevelCache.cpp
    ${CMAKE_SOURCE_DIR}/engine/view/NavigationInteractions.cpp
    ${CMAKE_SOURCE_DIR}/engine/view/ReducedLevels.cpp
    ${CMAKE_SOURCE_DIR}/engine/view/Ruler.cpp
    ${CMAKE_SOURCE_DIR}/engine/view/Ruler.h
    ${CMAKE_SOURCE_DIR}/engine/view/SelectionInteraction.cpp
    ${CMAKE_SOURCE_DIR}/engine/view/SelectionOutline.cpp
    ${CMAKE_SOURCE_DIR}/engine/view/Snapping.cpp
)
set_target_properties(vst_view PROPERTIES AUTOMOC ON)
