# Filter benchmarks, added to bench_engine.
target_sources(bench_engine PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/bench_proc_filter.cpp)
