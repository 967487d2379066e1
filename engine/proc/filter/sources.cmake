# Sources of engine/proc/filter (filters and distortions), added to vst_imaging.
set(_dir ${CMAKE_CURRENT_SOURCE_DIR}/proc/filter)
target_sources(vst_imaging PRIVATE
    ${_dir}/FilterCore.cpp
    ${_dir}/Separable.cpp
    ${_dir}/Window.cpp
    ${_dir}/Blur.cpp
    ${_dir}/Sharpen.cpp
    ${_dir}/Median.cpp
    ${_dir}/Morphology.cpp
    ${_dir}/Convolution.cpp
    ${_dir}/EdgeDetect.cpp
    ${_dir}/BumpMap.cpp
    ${_dir}/GradientMap.cpp
    ${_dir}/SoftShadow.cpp
    ${_dir}/Denoise.cpp
    ${_dir}/Distort.cpp
    ${_dir}/Lens.cpp
    ${_dir}/Stylize.cpp
    ${_dir}/Texture.cpp
    ${_dir}/Frames.cpp
    ${_dir}/EffectCatalogue.cpp
)
