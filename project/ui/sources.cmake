# Widget sources of project/, added to vst_shell.
target_sources(vst_shell PRIVATE
)
