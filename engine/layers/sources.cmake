# Sources of engine/layers, added to vst_imaging.
target_sources(vst_imaging PRIVATE
)
