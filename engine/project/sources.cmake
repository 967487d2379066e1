# Sources of engine/project, added to vst_imaging.
target_sources(vst_imaging PRIVATE
)
