// Closed outlines as polygons, for shapes whose inside must be decided pixel by pixel and
// whose distance to the edge drives shading.
#pragma once

#include <vector>

namespace gendata {

struct Point {
  float x = 0, y = 0;
};

class Polygon {
 public:
  explicit Polygon(std::vector<Point> points) : points_(std::move(points)) {}
  bool Contains(float x, float y) const;  // even-odd rule
  float EdgeDistance(float x, float y) const;
  // Negative inside, positive outside.
  float SignedDistance(float x, float y) const {
    const float d = EdgeDistance(x, y);
    return Contains(x, y) ? -d : d;
  }

 private:
  std::vector<Point> points_;
};

}  // namespace gendata
