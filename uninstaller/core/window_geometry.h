#pragma once

namespace ravuninst {

struct Point {
  int x;
  int y;
  bool operator==(const Point&) const = default;
};

// Where a window of the given size sits centred on the desktop: each half
// rounded toward zero.
Point CenteredOrigin(int desktopLeft, int desktopTop, int desktopWidth, int desktopHeight, int windowWidth,
                     int windowHeight);

}  // namespace ravuninst
