# Tests of project/, added to test_project.
target_sources(test_project PRIVATE
)
