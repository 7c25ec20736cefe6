// Keeps dialog controls anchored to the edges of a dialog whose client size changes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

class CAnchorLayout {
 public:
  void Attach(HWND dialog);
  void AddControl(int controlId, uint32_t flags);
  // Moves the controls by the change from the remembered size; false when not attached or
  // a control is missing (the remembered size then stays).
  bool Arrange(int width, int height);

 private:
  HWND dialog_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool attached_ = false;
  std::vector<std::pair<int, uint32_t>> controls_;
};
