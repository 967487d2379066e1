# Sources of the CLI's ai command(s), added to vistrelune-cli.
target_sources(vistrelune-cli PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/ai/AiCommand.cpp
)
