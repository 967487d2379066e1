# Sources of engine/effects (the effect object and its text form), added to vst_imaging.
target_sources(vst_imaging PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/effects/EffectParams.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/effects/EffectText.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/effects/ImageEffect.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/effects/EffectApply.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/effects/OtherEffects.cpp
)
