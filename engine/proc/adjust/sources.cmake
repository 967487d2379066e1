# Sources of engine/proc/adjust (colour adjustments), added to vst_imaging.
target_sources(vst_imaging PRIVATE
)
