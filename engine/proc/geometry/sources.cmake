# Sources of engine/proc/geometry (geometry and colour modes), added to vst_imaging.
target_sources(vst_imaging PRIVATE
)
