# GUI-free sources of tools/, added to vst_core.
target_sources(vst_core PRIVATE
)
