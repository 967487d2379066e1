# Sources of engine/proc/analysis (histograms, channels and comparison), added to vst_imaging.
target_sources(vst_imaging PRIVATE
)
