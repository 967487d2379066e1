# Sources of engine/document, added to vst_imaging.
target_sources(vst_imaging PRIVATE
)
