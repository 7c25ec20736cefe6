// The DPI of windows and the per-monitor functions of newer systems. Functions that Windows 7
// lacks are looked up at run time; there the system's one DPI stands in.
#pragma once

#include <windows.h>

#include "framework/dpi_scale.h"

// The DPI the window is drawn at.
unsigned WindowDpi(HWND window);
// GetSystemMetrics at that DPI.
int SystemMetricForDpi(int index, unsigned dpi);

// Column widths of a report-view list, measured at `fromDpi`, made the same at `toDpi`.
void RescaleListColumns(HWND list, unsigned toDpi, unsigned fromDpi);

// For its lifetime the thread sees every window in physical pixels, whatever the awareness
// of the window's program.
class ScopedPhysicalPixels {
 public:
  ScopedPhysicalPixels();
  ~ScopedPhysicalPixels();
  ScopedPhysicalPixels(const ScopedPhysicalPixels&) = delete;
  ScopedPhysicalPixels& operator=(const ScopedPhysicalPixels&) = delete;

 private:
  HANDLE previous_ = nullptr;
};
