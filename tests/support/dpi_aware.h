// Test programs that want to see every window in physical pixels declare themselves per-monitor
// DPI aware; without a manifest saying so a program knows no DPI.
#pragma once

// Per-monitor (v2 where the system has it); before the process's first window.
void DeclareDpiAware();
