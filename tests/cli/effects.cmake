# Tests of the CLI's apply and effects commands, added to test_cli.
target_sources(test_cli PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/test_cli_effects.cpp)
