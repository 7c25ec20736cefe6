# Optimised native build for Google Benchmark (no sanitizers, so the figures mean something).
find_package(benchmark REQUIRED)
add_library(tavolet_portable STATIC ${TAVOLET_PORTABLE_SOURCES} framework/file_io_posix.cpp)
target_include_directories(tavolet_portable PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tavolet_portable PUBLIC ${TAVOLET_CHARSET_FLAGS})
add_executable(native_bench bench/bench_main.cpp bench/key_file_bench.cpp bench/encoding_bench.cpp
                            bench/null_registration.cpp)
target_link_libraries(native_bench PRIVATE tavolet_portable benchmark::benchmark)
