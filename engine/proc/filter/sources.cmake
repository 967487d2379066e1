# Sources of engine/proc/filter (filters and distortions), added to vst_imaging.
target_sources(vst_imaging PRIVATE
)
