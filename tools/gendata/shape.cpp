#include "shape.h"

#include <algorithm>
#include <limits>

#include "raster.h"

namespace gendata {

bool Polygon::Contains(float x, float y) const {
  bool inside = false;
  for (std::size_t i = 0, j = points_.size() - 1; i < points_.size(); j = i++) {
    const Point& a = points_[i];
    const Point& b = points_[j];
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
  }
  return inside;
}

float Polygon::EdgeDistance(float x, float y) const {
  float best = std::numeric_limits<float>::max();
  for (std::size_t i = 0, j = points_.size() - 1; i < points_.size(); j = i++)
    best = std::min(best,
                    SegmentDistance(x, y, points_[j].x, points_[j].y, points_[i].x, points_[i].y));
  return best;
}

}  // namespace gendata
