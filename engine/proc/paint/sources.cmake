# Sources of engine/proc/paint (fills and retouch dabs), added to vst_imaging.
target_sources(vst_imaging PRIVATE
)
