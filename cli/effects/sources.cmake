# Sources of the CLI's effects command(s), added to vistrelune-cli.
target_sources(vistrelune-cli PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/effects/EffectCommands.cpp
)
