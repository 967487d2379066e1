# Sources of the CLI's proc command(s), added to vistrelune-cli.
target_sources(vistrelune-cli PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/ProcCommand.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/ProcParams.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/ProcImageOps.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/proc/ProcDataOps.cpp
)
