# Sources of engine/proc/vision (inpainting and foreground extraction), added to vst_imaging.
target_sources(vst_imaging PRIVATE
)
