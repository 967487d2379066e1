# GUI-free sources of ai/, added to vst_core.
target_sources(vst_core PRIVATE
)
