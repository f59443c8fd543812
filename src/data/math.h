// Vectors, matrices and colours as the scene uses them.
//
// Row vectors multiplied from the left (v x M); a point is moved by the translation in
// row 3; A x B applies A first, then B. TMat4 has the memory layout of D3DMATRIX
// (m[r][c] is _(r+1)(c+1)). Results go to an output argument; every routine here computes
// into a temporary first, so an output may also be one of the inputs.
#pragma once

#include <cstdint>

namespace data {

struct TVec2 {
  float x, y;
};
struct TVec3 {
  float x, y, z;
};
struct TVec4 {
  float x, y, z, w;
};
struct TMat3 {
  float m[3][3];
};
struct TMat4 {
  float m[4][4];
};
static_assert(sizeof(TMat3) == 9 * sizeof(float));
static_assert(sizeof(TMat4) == 16 * sizeof(float));

// A8R8G8B8; each argument is cut to its low 8 bits.
std::uint32_t MakeColor(int a, int r, int g, int b);

TVec2 MakeVec2(float x, float y);
TVec3 MakeVec3(float x, float y, float z);

void Vec3ToVec4(TVec4& out, const TVec3& v);  // w = 1
void Vec3Add(TVec3& out, const TVec3& a, const TVec3& b);
void Mat4ToMat3(TMat3& out, const TMat4& m);  // upper-left 3 x 3
float Mat3Determinant(const TMat3& m);

void Vec4Transform(TVec4& out, const TVec4& v, const TMat4& m);
// (v, 1) x m without the division by w.
void Vec3TransformPoint(TVec3& out, const TVec3& v, const TMat4& m);

// (x/w, y/w, z/w, 1/w): w keeps the reciprocal, which callers read as depth for sorting
// and perspective. With w = 0 the output is left as it was.
void Vec4DivideW(TVec4& out, const TVec4& v);

void Mat4Multiply(TMat4& out, const TMat4& a, const TMat4& b);

// Inverse of rotation followed by translation: the transposed rotation, and the
// translation taken back through it. Exact only when the 3 x 3 block is orthonormal;
// scale or shear there is not inverted.
void Mat4InverseRigid(TMat4& out, const TMat4& m);

}  // namespace data
