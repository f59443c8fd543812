#include "platform/d3d9/rasterizer.h"

#include <cmath>

#include "platform/d3d9/fast_path.h"
#include "platform/d3d9/pixel_ops.h"

namespace vm_d3d9 {
namespace {

// Vertex positions are snapped to 1/256 pixel. Coordinates beyond +-2^21 pixels would
// let the edge functions overflow 64 bits; such triangles are not drawn.
constexpr int kSubPixelBits = 8;
constexpr double kMaxCoordinate = 2097152.0;
// Gradients are limited so that a plane evaluated anywhere on a 16384-pixel target
// stays within 64 bits; beyond them a triangle samples noise anyway.
constexpr double kMaxCoordGradient = 32768.0;

bool Finite(const TLVertex& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.rhw) &&
         std::isfinite(v.u) && std::isfinite(v.v);
}

struct Snapped {
  int64_t x, y;
};

// Coefficients of the attribute plane through three vertices at snapped positions.
struct Gradient {
  double dx, dy;
};

Gradient GradientOf(const Snapped p[3], double area2, double f0, double f1, double f2) {
  const double x10 = static_cast<double>(p[1].x - p[0].x) / 256.0;
  const double y10 = static_cast<double>(p[1].y - p[0].y) / 256.0;
  const double x20 = static_cast<double>(p[2].x - p[0].x) / 256.0;
  const double y20 = static_cast<double>(p[2].y - p[0].y) / 256.0;
  const double a = area2 / 65536.0;
  return {((f1 - f0) * y20 - (f2 - f0) * y10) / a, ((f2 - f0) * x10 - (f1 - f0) * x20) / a};
}

DoublePlane DoublePlaneOf(const Snapped p[3], double area2, const double f[3], int ox, int oy) {
  const Gradient g = GradientOf(p, area2, f[0], f[1], f[2]);
  DoublePlane plane;
  plane.fx = g.dx;
  plane.fy = g.dy;
  plane.f0 = f[0] + g.dx * (ox - static_cast<double>(p[0].x) / 256.0) +
             g.dy * (oy - static_cast<double>(p[0].y) / 256.0);
  return plane;
}

// Rounds half away from zero; values stay far below 2^62.
int64_t Round(double v) { return static_cast<int64_t>(v + (v >= 0 ? 0.5 : -0.5)); }

Plane FixedPlane(const DoublePlane& d, int fracBits) {
  const double scale = static_cast<double>(int64_t{1} << fracBits);
  return {Round(d.f0 * scale), Round(d.fx * scale), Round(d.fy * scale)};
}

// Texel-coordinate plane: wrapped near the origin (wrapping is periodic) and with its
// gradients bounded, so that 64-bit evaluation never overflows.
Plane CoordPlane(DoublePlane d, int size, uint32_t address) {
  d.fx = std::clamp(d.fx, -kMaxCoordGradient, kMaxCoordGradient);
  d.fy = std::clamp(d.fy, -kMaxCoordGradient, kMaxCoordGradient);
  // Within the first period the wrap subtracts nothing: no division.
  const bool firstPeriod = d.f0 >= 0 && d.f0 < size;
  if (address == D3DTADDRESS_WRAP) {
    if (!firstPeriod) d.f0 -= std::floor(d.f0 / size) * size;
  } else if (address == D3DTADDRESS_MIRROR) {
    d.f0 -= std::floor(d.f0 / (2.0 * size)) * 2.0 * size;
  } else {
    d.f0 = std::clamp(d.f0, -65536.0, 65536.0);
  }
  return FixedPlane(d, kCoordFracBits);
}

void PlainPath(const RasterState& state, const TriangleSetup& setup) {
  const PixelBuffer& target = state.target;
  const int yEnd = std::min(setup.maxY, state.scissorBottom),
            xEnd = std::min(setup.maxX, state.scissorRight);
  for (int y = std::max(setup.minY, state.scissorTop); y < yEnd; ++y) {
    const int dy = y - setup.minY;
    uint32_t* row =
        reinterpret_cast<uint32_t*>(target.bits + static_cast<ptrdiff_t>(y) * target.pitch);
    for (int x = std::max(setup.minX, state.scissorLeft); x < xEnd; ++x) {
      const int dx = x - setup.minX;
      bool inside = true;
      for (int e = 0; e < 3; ++e) {
        if (setup.e0[e] + setup.ex[e] * dx + setup.ey[e] * dy < 0) inside = false;
      }
      if (!inside) continue;

      uint32_t diffuse;
      int s = 0, t = 0;
      if (setup.affine) {
        diffuse = DiffuseAt(setup, dx, dy);
        s = CoordToSub(setup.s.At(dx, dy));
        t = CoordToSub(setup.t.At(dx, dy));
      } else {
        const double w = setup.prhw.At(dx, dy);
        if (setup.constantColor) {
          diffuse = setup.flatColor;
        } else {
          diffuse = 0;
          for (int c = 0; c < 4; ++c) {
            const double v = std::round(setup.pc[c].At(dx, dy) / w);
            diffuse |= static_cast<uint32_t>(std::clamp(v, 0.0, 255.0)) << (8 * c);
          }
        }
        const double ss = std::clamp(setup.ps.At(dx, dy) / w * 256.0, -1e9, 1e9);
        const double tt = std::clamp(setup.pt.At(dx, dy) / w * 256.0, -1e9, 1e9);
        s = static_cast<int>(std::floor(ss + 0.5));
        t = static_cast<int>(std::floor(tt + 0.5));
      }
      const uint32_t texel = state.hasTexture ? SampleTexture(state, setup, s, t) : 0xFFFFFFFFu;
      const uint32_t color = CombineStage(state, diffuse, texel);
      if (state.alphaTest && !CompareFunc(state.alphaFunc, color >> 24, state.alphaRef & 255)) {
        continue;
      }
      if (state.depthTest) {
        float* depth = state.depth.values + static_cast<ptrdiff_t>(y) * state.depth.width + x;
        const float z = static_cast<float>(std::clamp(setup.z.At(dx, dy), 0.0, 1.0));
        if (!CompareFunc(state.depthFunc, z, *depth)) continue;
        if (state.depthWrite) *depth = z;
      }
      const uint32_t dst = row[x];
      const uint32_t out = state.blend ? BlendPixel(state, color, dst) : color;
      row[x] = FinishPixel(state, out, dst);
    }
  }
}

}  // namespace

namespace {

// The triangle's vertices snapped to the sub-pixel grid, clockwise, with twice its area.
struct SnappedTriangle {
  const TLVertex* v[3];
  Snapped p[3];
  int64_t area;
};

// False when the triangle is not drawn: coordinates out of range, degenerate or culled.
bool SnapTriangle(const RasterState& state, const TLVertex& va, const TLVertex& vb,
                  const TLVertex& vc, SnappedTriangle* tri) {
  tri->v[0] = &va;
  tri->v[1] = &vb;
  tri->v[2] = &vc;
  for (const TLVertex* p : tri->v) {
    if (!Finite(*p) || std::fabs(p->x) > kMaxCoordinate || std::fabs(p->y) > kMaxCoordinate) {
      return false;
    }
  }
  Snapped* p = tri->p;
  for (int i = 0; i < 3; ++i) {
    p[i] = {Round(static_cast<double>(tri->v[i]->x) * 256.0),
            Round(static_cast<double>(tri->v[i]->y) * 256.0)};
  }
  int64_t area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[1].y - p[0].y) * (p[2].x - p[0].x);
  if (area == 0) return false;
  // Positive area: clockwise on the screen (y grows downwards), Direct3D's front face.
  if (state.cullMode == D3DCULL_CCW && area < 0) return false;
  if (state.cullMode == D3DCULL_CW && area > 0) return false;
  if (area < 0) {
    std::swap(p[1], p[2]);
    std::swap(tri->v[1], tri->v[2]);
    area = -area;
  }
  tri->area = area;
  return true;
}

// The pixel box within the viewport and the edge functions from its origin; false when
// the box is empty.
bool SetUpCoverage(const RasterState& state, const Snapped p[3], TriangleSetup* setup) {
  int64_t minX = std::min({p[0].x, p[1].x, p[2].x}), maxX = std::max({p[0].x, p[1].x, p[2].x});
  int64_t minY = std::min({p[0].y, p[1].y, p[2].y}), maxY = std::max({p[0].y, p[1].y, p[2].y});
  // Pixel centres are at whole coordinates: the box holds the pixels whose centres
  // lie within the triangle's extent.
  const auto ceilDiv = [](int64_t a) { return (a + 255) >> kSubPixelBits; };
  const auto floorDiv = [](int64_t a) { return a >> kSubPixelBits; };
  setup->minX = static_cast<int>(std::max<int64_t>(ceilDiv(minX), state.clipLeft));
  setup->minY = static_cast<int>(std::max<int64_t>(ceilDiv(minY), state.clipTop));
  setup->maxX = static_cast<int>(std::min<int64_t>(floorDiv(maxX) + 1, state.clipRight));
  setup->maxY = static_cast<int>(std::min<int64_t>(floorDiv(maxY) + 1, state.clipBottom));
  if (setup->minX >= setup->maxX || setup->minY >= setup->maxY) return false;

  const int64_t ox = int64_t{setup->minX} << kSubPixelBits;
  const int64_t oy = int64_t{setup->minY} << kSubPixelBits;
  for (int e = 0; e < 3; ++e) {
    const Snapped& a = p[e];
    const Snapped& b = p[(e + 1) % 3];
    const int64_t dx = b.x - a.x;
    const int64_t dy = b.y - a.y;
    // Top edge: horizontal with the triangle below; left edge: going up the screen.
    const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
    setup->e0[e] = dx * (oy - a.y) - dy * (ox - a.x) - (topLeft ? 0 : 1);
    setup->ex[e] = -dy << kSubPixelBits;
    setup->ey[e] = dx << kSubPixelBits;
  }
  return true;
}

// The diffuse colour: constant, or integer planes per channel (and for perspective the
// channels times rhw).
void SetUpColor(const RasterState& state, const SnappedTriangle& tri, TriangleSetup* setup) {
  const TLVertex* const* v = tri.v;
  const double area2 = static_cast<double>(tri.area);
  const int ox = setup->minX, oy = setup->minY;
  if (state.shadeMode == D3DSHADE_FLAT) {
    setup->constantColor = true;
    setup->flatColor = v[0]->diffuse;
  } else {
    setup->constantColor = v[0]->diffuse == v[1]->diffuse && v[1]->diffuse == v[2]->diffuse;
    setup->flatColor = v[0]->diffuse;
  }
  for (int c = 0; c < 4 && !setup->constantColor; ++c) {
    const double f[3] = {double(Channel(v[0]->diffuse, c)), double(Channel(v[1]->diffuse, c)),
                         double(Channel(v[2]->diffuse, c))};
    setup->color[c] = FixedPlane(DoublePlaneOf(tri.p, area2, f, ox, oy), kColorFracBits);
  }
  if (!setup->affine && !setup->constantColor) {
    const double w[3] = {v[0]->rhw, v[1]->rhw, v[2]->rhw};
    for (int c = 0; c < 4; ++c) {
      const double f[3] = {Channel(v[0]->diffuse, c) * w[0], Channel(v[1]->diffuse, c) * w[1],
                           Channel(v[2]->diffuse, c) * w[2]};
      setup->pc[c] = DoublePlaneOf(tri.p, area2, f, ox, oy);
    }
  }
}

// Texel coordinates, their perspective planes, and depth.
void SetUpTexelsAndDepth(const RasterState& state, const SnappedTriangle& tri,
                         TriangleSetup* setup) {
  const TLVertex* const* v = tri.v;
  const double area2 = static_cast<double>(tri.area);
  const int ox = setup->minX, oy = setup->minY;
  const int texW = state.hasTexture ? state.texture.width : 1;
  const int texH = state.hasTexture ? state.texture.height : 1;
  const double su[3] = {double{v[0]->u} * texW, double{v[1]->u} * texW, double{v[2]->u} * texW};
  const double sv[3] = {double{v[0]->v} * texH, double{v[1]->v} * texH, double{v[2]->v} * texH};
  const DoublePlane sPlane = DoublePlaneOf(tri.p, area2, su, ox, oy);
  const DoublePlane tPlane = DoublePlaneOf(tri.p, area2, sv, ox, oy);
  setup->s = CoordPlane(sPlane, texW, state.addressU);
  setup->t = CoordPlane(tPlane, texH, state.addressV);
  const double scaleX = sPlane.fx * sPlane.fx + tPlane.fx * tPlane.fx;
  const double scaleY = sPlane.fy * sPlane.fy + tPlane.fy * tPlane.fy;
  setup->minify = std::max(scaleX, scaleY) > 1.0;

  if (state.depthTest) {
    const double zs[3] = {v[0]->z, v[1]->z, v[2]->z};
    setup->z = DoublePlaneOf(tri.p, area2, zs, ox, oy);
  }
  if (!setup->affine) {
    const double w[3] = {v[0]->rhw, v[1]->rhw, v[2]->rhw};
    setup->prhw = DoublePlaneOf(tri.p, area2, w, ox, oy);
    const double pu[3] = {su[0] * w[0], su[1] * w[1], su[2] * w[2]};
    const double pv[3] = {sv[0] * w[0], sv[1] * w[1], sv[2] * w[2]};
    setup->ps = DoublePlaneOf(tri.p, area2, pu, ox, oy);
    setup->pt = DoublePlaneOf(tri.p, area2, pv, ox, oy);
  }
}

}  // namespace

bool SetUpTriangle(const RasterState& state, const TLVertex& va, const TLVertex& vb,
                   const TLVertex& vc, TriangleSetup* setup) {
  SnappedTriangle tri;
  if (!SnapTriangle(state, va, vb, vc, &tri) || !SetUpCoverage(state, tri.p, setup)) return false;
  setup->affine = tri.v[0]->rhw == tri.v[1]->rhw && tri.v[1]->rhw == tri.v[2]->rhw;
  SetUpTexelsAndDepth(state, tri, setup);
  SetUpColor(state, tri, setup);
  return true;
}

namespace {

enum class RectangleKind { NotRectangle, Empty, Ready };

bool IsSimpleRectangle(const TLVertex* v) {
  for (int i = 0; i < 4; ++i) {
    if (!Finite(v[i]) || std::fabs(v[i].x) > kMaxCoordinate || std::fabs(v[i].y) > kMaxCoordinate) {
      return false;
    }
  }
  return v[0].y == v[1].y && v[2].y == v[3].y && v[0].x == v[2].x && v[1].x == v[3].x &&
         v[0].x < v[1].x && v[0].y < v[2].y && v[0].u == v[2].u && v[1].u == v[3].u &&
         v[0].v == v[1].v && v[2].v == v[3].v && v[0].diffuse == v[1].diffuse &&
         v[0].diffuse == v[2].diffuse && v[0].diffuse == v[3].diffuse && v[0].rhw == v[1].rhw &&
         v[0].rhw == v[2].rhw && v[0].rhw == v[3].rhw && v[0].z == v[1].z && v[0].z == v[2].z &&
         v[0].z == v[3].z;
}

RectangleKind SetUpRectangle(const RasterState& state, const TLVertex* v, TriangleSetup* setup) {
  if (!IsSimpleRectangle(v)) return RectangleKind::NotRectangle;
  const int64_t x0 = Round(double{v[0].x} * 256.0), x1 = Round(double{v[1].x} * 256.0);
  const int64_t y0 = Round(double{v[0].y} * 256.0), y1 = Round(double{v[2].y} * 256.0);
  // Both triangles are clockwise: only CW culling removes them.
  if (x0 >= x1 || y0 >= y1 || state.cullMode == D3DCULL_CW) return RectangleKind::Empty;
  // Pixel x is covered when x0 <= 256 x < x1 (left edge in, right edge out), likewise y.
  const auto ceilDiv = [](int64_t a) { return (a + 255) >> kSubPixelBits; };
  setup->minX = static_cast<int>(std::max<int64_t>(ceilDiv(x0), state.clipLeft));
  setup->maxX = static_cast<int>(std::min<int64_t>(ceilDiv(x1), state.clipRight));
  setup->minY = static_cast<int>(std::max<int64_t>(ceilDiv(y0), state.clipTop));
  setup->maxY = static_cast<int>(std::min<int64_t>(ceilDiv(y1), state.clipBottom));
  if (setup->minX >= setup->maxX || setup->minY >= setup->maxY) return RectangleKind::Empty;
  setup->rectangle = true;
  setup->affine = true;

  const int texW = state.hasTexture ? state.texture.width : 1;
  const int texH = state.hasTexture ? state.texture.height : 1;
  const double left = static_cast<double>(x0) / 256.0, top = static_cast<double>(y0) / 256.0;
  DoublePlane s, t;
  s.fx = (double{v[1].u} - double{v[0].u}) * texW / (static_cast<double>(x1 - x0) / 256.0);
  s.f0 = double{v[0].u} * texW + s.fx * (setup->minX - left);
  t.fy = (double{v[2].v} - double{v[0].v}) * texH / (static_cast<double>(y1 - y0) / 256.0);
  t.f0 = double{v[0].v} * texH + t.fy * (setup->minY - top);
  setup->s = CoordPlane(s, texW, state.addressU);
  setup->t = CoordPlane(t, texH, state.addressV);
  setup->minify = std::max(s.fx * s.fx, t.fy * t.fy) > 1.0;
  setup->z = {v[0].z, 0.0, 0.0};
  setup->constantColor = true;
  setup->flatColor = v[0].diffuse;
  return RectangleKind::Ready;
}

// Gives a triangle of the rectangle the rectangle's planes, moved to the triangle's origin.
void AdoptPlanes(const TriangleSetup& rect, TriangleSetup* triangle) {
  const int dx = triangle->minX - rect.minX, dy = triangle->minY - rect.minY;
  triangle->s = {rect.s.At(dx, dy), rect.s.fx, rect.s.fy};
  triangle->t = {rect.t.At(dx, dy), rect.t.fx, rect.t.fy};
  triangle->z = rect.z;
  triangle->minify = rect.minify;
  triangle->affine = true;
  triangle->constantColor = true;
  triangle->flatColor = rect.flatColor;
}

}  // namespace

bool CpuHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

bool QuadOverwrites(const RasterState& state, const TLVertex* v, int left, int top, int right,
                    int bottom) {
  TriangleSetup rect;
  if (SetUpRectangle(state, v, &rect) != RectangleKind::Ready) return false;
  if (rect.minX > left || rect.minY > top || rect.maxX < right || rect.maxY < bottom) return false;
  if (state.scissorLeft > left || state.scissorTop > top || state.scissorRight < right ||
      state.scissorBottom < bottom) {
    return false;
  }
  return IgnoresDestination(state, rect);
}

bool DrawQuad(const RasterState& state, const TLVertex* v, RasterPath path) {
  TriangleSetup rect;
  const RectangleKind kind = SetUpRectangle(state, v, &rect);
  if (kind == RectangleKind::NotRectangle) return false;
  if (kind == RectangleKind::Empty) return true;
  if (path != RasterPath::Plain && DrawTriangleFast(state, rect)) return true;
  const TLVertex* triangles[2][3] = {{&v[0], &v[1], &v[2]}, {&v[2], &v[1], &v[3]}};
  for (const auto& tri : triangles) {
    TriangleSetup setup;
    if (!SetUpTriangle(state, *tri[0], *tri[1], *tri[2], &setup)) continue;
    AdoptPlanes(rect, &setup);
    PlainPath(state, setup);
  }
  return true;
}

void DrawTriangle(const RasterState& state, const TLVertex& a, const TLVertex& b, const TLVertex& c,
                  RasterPath path) {
  TriangleSetup setup;
  if (!SetUpTriangle(state, a, b, c, &setup)) return;
  if (path != RasterPath::Plain && DrawTriangleFast(state, setup)) return;
  PlainPath(state, setup);
}

}  // namespace vm_d3d9
