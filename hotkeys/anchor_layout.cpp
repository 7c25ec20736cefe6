#include "hotkeys/anchor_layout.h"

#include "hotkeys/anchor_math.h"

void CAnchorLayout::Attach(HWND dialog) {
  controls_.clear();
  dialog_ = dialog;
  RECT client{};
  GetClientRect(dialog, &client);
  width_ = client.right - client.left;
  height_ = client.bottom - client.top;
  attached_ = true;
}

void CAnchorLayout::AddControl(int controlId, uint32_t flags) {
  controls_.emplace_back(controlId, flags);
}

bool CAnchorLayout::Arrange(int width, int height) {
  if (!attached_) return false;
  const int dx = width - width_, dy = height - height_;
  for (const auto& [id, flags] : controls_) {
    HWND control = GetDlgItem(dialog_, id);
    if (!control) return false;
    RECT r;
    GetWindowRect(control, &r);
    const AnchorRect moved = AnchoredRect({r.left, r.top, r.right, r.bottom}, flags, dx, dy);
    POINT corners[2] = {{moved.left, moved.top}, {moved.right, moved.bottom}};
    MapWindowPoints(nullptr, dialog_, corners, 2);
    MoveWindow(control, corners[0].x, corners[0].y, corners[1].x - corners[0].x,
               corners[1].y - corners[0].y, TRUE);
  }
  width_ = width;
  height_ = height;
  return true;
}
