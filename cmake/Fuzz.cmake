# libFuzzer targets for the readers of untrusted bytes. make test runs each for a bounded time.
enable_testing()
set(TAVOLET_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs under ctest")
set(fuzz_flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -g)

add_library(tavolet_fuzz_codecs STATIC framework/archive.cpp hotkeys/key_file.cpp
                                       actions/launch/url_encoding.cpp actions/launch/command_line.cpp
                                       app/settings_file.cpp actions/desktop_icons/icon_layouts.cpp
                                       actions/desktop_icons/monitor_set.cpp)
target_include_directories(tavolet_fuzz_codecs PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tavolet_fuzz_codecs PUBLIC -fsanitize=fuzzer-no-link,address,undefined
                                                   -fno-sanitize-recover=all -g)

add_subdirectory(tests/fuzz)
