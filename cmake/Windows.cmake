# Tavolet.exe, Corvane.dll and Lintrel.dll for one Windows architecture, plus the Windows
# test programs.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

add_compile_options(${TAVOLET_CHARSET_FLAGS} ${TAVOLET_WARNINGS})
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static $<$<CONFIG:Release>:-s>)
# Programs and libraries side by side, as they are shipped, so every test finds the DLLs.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
include_directories(${PROJECT_SOURCE_DIR})

set(TAVOLET_X86_64 OFF)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(TAVOLET_X86_64 ON)
endif()

# --- the two libraries -----------------------------------------------------------------
# They run inside other programs (Lintrel in every GUI process, Corvane in the shell), so they
# carry no C/C++ runtime: their own entry point, no static constructors, no thread-local
# storage, only system DLLs imported.
if(TAVOLET_X86_64)
  set(TAVOLET_DLL_ENTRY DllMain)
else()
  set(TAVOLET_DLL_ENTRY _DllMain@12)
endif()
# x86_64 keeps its unwind tables (.pdata/.xdata): the system dispatches exceptions raised
# below our procedures (shell extensions, callbacks) and walks stacks through them with those;
# without -fexceptions they bring in no runtime. i686 unwinds without tables.
if(TAVOLET_X86_64)
  set(TAVOLET_UNWIND_TABLES -fasynchronous-unwind-tables)
else()
  set(TAVOLET_UNWIND_TABLES -fno-asynchronous-unwind-tables)
endif()
function(tavolet_runtime_free_library target)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/framework/no_runtime.cpp
                                   ${PROJECT_SOURCE_DIR}/framework/session_objects.cpp
                                   ${PROJECT_SOURCE_DIR}/framework/trust_rules.cpp)
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti -fno-threadsafe-statics
                         ${TAVOLET_UNWIND_TABLES} -fno-stack-protector -fno-builtin -Os)
  # --build-id: a hash of the contents alone (no time stamp), by which a Tavolet tells its
  # Corvane from another build the shell still holds.
  target_link_options(${target} PRIVATE -nostdlib -Wl,-e,${TAVOLET_DLL_ENTRY} -Wl,--build-id
                      -Wl,--no-insert-timestamp -s)
  target_link_libraries(${target} PRIVATE ${ARGN} kernel32 gcc)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target})
endfunction()

add_library(Lintrel SHARED lintrel/system_hook.cpp)
tavolet_runtime_free_library(Lintrel user32 advapi32)
target_compile_definitions(Lintrel PRIVATE LINTREL_BUILD)

set(TAVOLET_CORVANE_SOURCES
    ${PROJECT_SOURCE_DIR}/corvane/desktop_hook.cpp ${PROJECT_SOURCE_DIR}/corvane/icon_positions.cpp
    ${PROJECT_SOURCE_DIR}/corvane/label_painter.cpp ${PROJECT_SOURCE_DIR}/corvane/label_colors.cpp
    ${PROJECT_SOURCE_DIR}/corvane/pinned_build.cpp ${PROJECT_SOURCE_DIR}/corvane/shell_values.cpp)
add_library(Corvane SHARED ${TAVOLET_CORVANE_SOURCES})
tavolet_runtime_free_library(Corvane comctl32 gdi32 user32 advapi32)
target_compile_definitions(Corvane PRIVATE CORVANE_BUILD)

# --- Tavolet -------------------------------------------------------------------------
# Everything of Tavolet but its entry point, so the Wine tests can link the same code.
add_library(tavolet_core STATIC
    ${TAVOLET_PORTABLE_SOURCES}
    actions/desktop_icons/desktop_icons_win32.cpp
    actions/dispatcher.cpp
    actions/launch/program_start_win32.cpp
    actions/launch/registry_lookup_win32.cpp
    actions/launch/selection_query_win32.cpp
    actions/launch/text_capture_win32.cpp
    actions/launch/utf8_encoding_win32.cpp
    actions/sound/audio_endpoints_win32.cpp
    actions/sound/audio_worker_win32.cpp
    actions/sound/front_program_win32.cpp
    actions/sound/volume_mixer_win32.cpp
    actions/windows/layered_window_win32.cpp
    actions/windows/window_positions_win32.cpp
    app/about_dlg.cpp
    app/color_button.cpp
    app/main_app.cpp
    app/main_app_settings.cpp
    app/main_dlg.cpp
    app/properties_dlg.cpp
    app/tray_icon.cpp
    framework/app.cpp
    framework/ddx.cpp
    framework/dialog.cpp
    framework/dpi_win32.cpp
    framework/file_io_win32.cpp
    framework/waits.cpp
    framework/wnd.cpp
    hotkeys/anchor_layout.cpp
    hotkeys/hotkey_edit_dlg.cpp
    hotkeys/hotkey_registration_win32.cpp
    hotkeys/key_list_dlg.cpp)
target_link_libraries(tavolet_core PUBLIC Lintrel Corvane advapi32 winmm ole32 oleaut32 comctl32 comdlg32 shell32 gdi32 user32)

set(TAVOLET_RC ${PROJECT_SOURCE_DIR}/resources/Tavolet.rc)
set_source_files_properties(${TAVOLET_RC} PROPERTIES OBJECT_DEPENDS
    "${PROJECT_SOURCE_DIR}/resources/resource.h;${PROJECT_SOURCE_DIR}/resources/tavolet.ico;${PROJECT_SOURCE_DIR}/resources/blocked.ico;${PROJECT_SOURCE_DIR}/resources/Tavolet.manifest")

add_executable(Tavolet WIN32 app/tavolet_main.cpp ${TAVOLET_RC})
target_link_libraries(Tavolet PRIVATE tavolet_core)

# --- tests ---------------------------------------------------------------------------
# Both architectures run under wine64 (which hands i686 programs to Wine's 32-bit side), each in a
# prefix of its own.
enable_testing()
set(TAVOLET_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
set(TAVOLET_WINE_ARCH x86_64)
if(NOT TAVOLET_X86_64)
  set(TAVOLET_WINE_ARCH i686)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-test.sh ${TAVOLET_WINE_STATE})
add_test(NAME hook_libraries_shape
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-libraries.sh ${CMAKE_OBJDUMP}
                 $<TARGET_FILE:Lintrel>=16384 $<TARGET_FILE:Corvane>=49152)
set_tests_properties(hook_libraries_shape PROPERTIES LABELS no-wine)
add_library(test_support STATIC
    ${PROJECT_SOURCE_DIR}/tests/support/png_writer.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/screen_capture.cpp)
target_link_libraries(test_support PUBLIC gdi32 user32)
add_subdirectory(tests/wine)
add_subdirectory(tools)
