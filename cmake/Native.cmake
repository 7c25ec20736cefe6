# Native build of the portable code, unit-tested with GoogleTest under ASan and UBSan.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

if(TAVOLET_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

add_library(tavolet_portable STATIC ${TAVOLET_PORTABLE_SOURCES} framework/file_io_posix.cpp)
target_include_directories(tavolet_portable PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tavolet_portable PUBLIC ${TAVOLET_CHARSET_FLAGS} ${TAVOLET_WARNINGS})

add_subdirectory(tests/native)
