# GUI-free sources of dialogs/, added to vst_core.
target_sources(vst_core PRIVATE
)
