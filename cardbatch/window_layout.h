// Controls that follow the window's size: each moves with the right or
// bottom edge or grows with it, as its anchor says; the window is never made
// smaller than its template. Windows only.
#pragma once

#include <windows.h>

#include <vector>

enum AnchorFlags : unsigned { kMoveX = 1, kMoveY = 2, kGrowX = 4, kGrowY = 8 };

struct Anchor {
  int id;
  unsigned flags;
};

class WindowLayout {
 public:
  // Takes the controls' places in the window as laid out by its template.
  void Take(HWND window, const Anchor* anchors, std::size_t count);
  void Resize(HWND window) const;
  void LimitSize(MINMAXINFO* limits) const;

 private:
  struct Placed {
    HWND control;
    unsigned flags;
    RECT rect;
  };
  std::vector<Placed> placed_;
  SIZE client_{}, minimum_{};
};
