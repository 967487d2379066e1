# GUI-free sources of adjust/, added to vst_core.
target_sources(vst_core PRIVATE
)
