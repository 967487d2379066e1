# Widget sources of dialogs/, added to vst_shell.
target_sources(vst_shell PRIVATE
)
