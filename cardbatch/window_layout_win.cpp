#include "cardbatch/window_layout.h"

void WindowLayout::Take(HWND window, const Anchor* anchors, std::size_t count) {
  RECT client, outer;
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  client_ = {client.right, client.bottom};
  minimum_ = {outer.right - outer.left, outer.bottom - outer.top};
  for (std::size_t i = 0; i < count; ++i) {
    HWND control = GetDlgItem(window, anchors[i].id);
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    placed_.push_back({control, anchors[i].flags, rect});
  }
}

void WindowLayout::Resize(HWND window) const {
  if (placed_.empty()) return;
  RECT client;
  GetClientRect(window, &client);
  const int dx = client.right - client_.cx, dy = client.bottom - client_.cy;
  HDWP moves = BeginDeferWindowPos(static_cast<int>(placed_.size()));
  for (const Placed& p : placed_) {
    int x = p.rect.left + ((p.flags & kMoveX) ? dx : 0);
    int y = p.rect.top + ((p.flags & kMoveY) ? dy : 0);
    int w = p.rect.right - p.rect.left + ((p.flags & kGrowX) ? dx : 0);
    int h = p.rect.bottom - p.rect.top + ((p.flags & kGrowY) ? dy : 0);
    if (moves) moves = DeferWindowPos(moves, p.control, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (moves) EndDeferWindowPos(moves);
  InvalidateRect(window, nullptr, TRUE);
}

void WindowLayout::LimitSize(MINMAXINFO* limits) const {
  if (minimum_.cx == 0) return;
  limits->ptMinTrackSize = {minimum_.cx, minimum_.cy};
}
