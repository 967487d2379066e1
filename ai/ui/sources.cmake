# Widget sources of ai/, added to vst_shell.
target_sources(vst_shell PRIVATE
    ${CMAKE_SOURCE_DIR}/ai/ui/TFormAPIKey.cpp
)
