#include "data/math.h"

namespace data {

std::uint32_t MakeColor(int a, int r, int g, int b) {
  return (static_cast<std::uint32_t>(a) & 0xFFu) << 24 |
         (static_cast<std::uint32_t>(r) & 0xFFu) << 16 |
         (static_cast<std::uint32_t>(g) & 0xFFu) << 8 | (static_cast<std::uint32_t>(b) & 0xFFu);
}

TVec2 MakeVec2(float x, float y) { return TVec2{x, y}; }

TVec3 MakeVec3(float x, float y, float z) { return TVec3{x, y, z}; }

void Vec3ToVec4(TVec4& out, const TVec3& v) { out = TVec4{v.x, v.y, v.z, 1.0f}; }

void Vec3Add(TVec3& out, const TVec3& a, const TVec3& b) {
  out = TVec3{a.x + b.x, a.y + b.y, a.z + b.z};
}

void Mat4ToMat3(TMat3& out, const TMat4& m) {
  TMat3 r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.m[i][j] = m.m[i][j];
  out = r;
}

float Mat3Determinant(const TMat3& m) {
  const auto& a = m.m;
  const double d = double{a[0][0]} * (double{a[1][1]} * a[2][2] - double{a[1][2]} * a[2][1]) -
                   double{a[0][1]} * (double{a[1][0]} * a[2][2] - double{a[1][2]} * a[2][0]) +
                   double{a[0][2]} * (double{a[1][0]} * a[2][1] - double{a[1][1]} * a[2][0]);
  return static_cast<float>(d);
}

void Vec4Transform(TVec4& out, const TVec4& v, const TMat4& m) {
  float r[4];
  for (int i = 0; i < 4; ++i) {
    r[i] = v.x * m.m[0][i] + v.y * m.m[1][i] + v.z * m.m[2][i] + v.w * m.m[3][i];
  }
  out = TVec4{r[0], r[1], r[2], r[3]};
}

void Vec3TransformPoint(TVec3& out, const TVec3& v, const TMat4& m) {
  float r[3];
  for (int i = 0; i < 3; ++i) {
    r[i] = v.x * m.m[0][i] + v.y * m.m[1][i] + v.z * m.m[2][i] + m.m[3][i];
  }
  out = TVec3{r[0], r[1], r[2]};
}

void Vec4DivideW(TVec4& out, const TVec4& v) {
  if (v.w == 0.0f) return;
  const float w = 1.0f / v.w;
  out = TVec4{v.x * w, v.y * w, v.z * w, w};
}

void Mat4Multiply(TMat4& out, const TMat4& a, const TMat4& b) {
  TMat4 c;
  for (int r = 0; r < 4; ++r) {
    for (int k = 0; k < 4; ++k) {
      float sum = 0.0f;
      for (int j = 0; j < 4; ++j) sum += a.m[r][j] * b.m[j][k];
      c.m[r][k] = sum;
    }
  }
  out = c;
}

void Mat4InverseRigid(TMat4& out, const TMat4& m) {
  TMat4 r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) r.m[i][j] = m.m[j][i];
    r.m[i][3] = 0.0f;
  }
  for (int j = 0; j < 3; ++j) {
    r.m[3][j] = -(m.m[j][0] * m.m[3][0] + m.m[j][1] * m.m[3][1] + m.m[j][2] * m.m[3][2]);
  }
  r.m[3][3] = 1.0f;
  out = r;
}

}  // namespace data
