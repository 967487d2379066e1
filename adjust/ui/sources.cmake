# Widget sources of adjust/, added to vst_shell.
target_sources(vst_shell PRIVATE
)
