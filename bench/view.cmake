# Benchmarks of the view widget: repaint after a pan, first frame, reduced-level memory.
add_executable(bench_view
    ${CMAKE_CURRENT_SOURCE_DIR}/bench_view.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/BenchImages.cpp
)
target_include_directories(bench_view PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(bench_view PRIVATE vst_view benchmark::benchmark)
