# Sources of engine/effects (the effect object and its text form), added to vst_imaging.
target_sources(vst_imaging PRIVATE
)
