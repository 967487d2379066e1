# GUI-free sources of project/, added to vst_core.
target_sources(vst_core PRIVATE
)
