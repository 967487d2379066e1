# Widget sources of tools/, added to vst_shell.
target_sources(vst_shell PRIVATE
)
