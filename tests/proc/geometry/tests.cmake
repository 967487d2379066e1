# Tests of engine/proc/geometry, added to test_proc.
target_sources(test_proc PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/geometry/test_rotate.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/geometry/test_geometry.cpp
)
