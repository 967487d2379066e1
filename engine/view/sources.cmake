# Sources of engine/view (the variant view widget), added to vst_view.
target_sources(vst_view PRIVATE
    ${CMAKE_SOURCE_DIR}/engine/view/Placeholder.cpp
)
