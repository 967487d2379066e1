# Sources of engine/proc/hidden (hidden data and pixel encryption), added to vst_imaging.
target_sources(vst_imaging PRIVATE
)
