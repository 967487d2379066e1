# Tests of project/, added to test_project.
target_sources(test_project PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/test_variantparameters.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/test_projectfile.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/test_projectexport.cpp
)
# The project commands of the CLI are tested here, beside the logic they drive.
target_compile_definitions(test_project PRIVATE VST_CLI_PATH="$<TARGET_FILE:vistrelune-cli>")
add_dependencies(test_project vistrelune-cli)
