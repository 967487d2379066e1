# Tests of "vistrelune-cli proc", added to test_cli.
target_sources(test_cli PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/test_cli_proc.cpp)
