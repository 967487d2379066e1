# Tests of engine/proc/filter, added to test_proc.
target_sources(test_proc PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/filter/test_filter_blur.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/filter/test_filter_neighbourhood.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/filter/test_filter_effects.cpp
)
target_include_directories(test_proc PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/filter)
