#include "data/math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace data {
namespace {

TMat4 Identity() {
  TMat4 m{};
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

TEST(MakeColor, CutsEachArgumentToEightBits) {
  EXPECT_EQ(MakeColor(255, 0, 255, 0), 0xFF00FF00u);
  EXPECT_EQ(MakeColor(0, 0, 0, 0), 0u);
  EXPECT_EQ(MakeColor(256, 1, 2, 3), 0x00010203u);
  EXPECT_EQ(MakeColor(-1, 0x1AB, 0, 0xFF), 0xFFAB00FFu);
}

TEST(Vec3TransformPoint, TranslationLivesInRowThree) {
  TMat4 m = Identity();
  m.m[3][0] = 10, m.m[3][1] = 20, m.m[3][2] = 30;
  TVec3 out{};
  Vec3TransformPoint(out, MakeVec3(1, 2, 3), m);
  EXPECT_EQ(out.x, 11);
  EXPECT_EQ(out.y, 22);
  EXPECT_EQ(out.z, 33);
}

TEST(Vec4Transform, RowVectorTimesMatrix) {
  TMat4 m{};
  for (int i = 0; i < 16; ++i) m.m[i / 4][i % 4] = static_cast<float>(i + 1);
  TVec4 out{};
  Vec4Transform(out, TVec4{1, 0, 0, 2}, m);
  // Row 0 plus twice row 3.
  EXPECT_EQ(out.x, 1 + 2 * 13);
  EXPECT_EQ(out.y, 2 + 2 * 14);
  EXPECT_EQ(out.z, 3 + 2 * 15);
  EXPECT_EQ(out.w, 4 + 2 * 16);
  TVec4 w{};
  Vec3ToVec4(w, MakeVec3(5, 6, 7));
  EXPECT_EQ(w.w, 1.0f);
}

TEST(Vec4DivideW, KeepsReciprocalAndSkipsZero) {
  TVec4 v{2, 4, 6, 2};
  Vec4DivideW(v, v);
  EXPECT_EQ(v.x, 1);
  EXPECT_EQ(v.y, 2);
  EXPECT_EQ(v.z, 3);
  EXPECT_EQ(v.w, 0.5f);
  TVec4 out{9, 9, 9, 9};
  Vec4DivideW(out, TVec4{1, 1, 1, 0});
  EXPECT_EQ(out.x, 9);
  EXPECT_EQ(out.w, 9);
}

TEST(Mat4Multiply, AppliesLeftOperandFirst) {
  TMat4 scale = Identity(), move = Identity();
  scale.m[0][0] = 2;
  move.m[3][0] = 5;
  TMat4 both{};
  Mat4Multiply(both, scale, move);
  TVec3 p{};
  Vec3TransformPoint(p, MakeVec3(1, 0, 0), both);
  EXPECT_EQ(p.x, 7);               // scaled to 2, then moved by 5
  Mat4Multiply(both, both, both);  // output shared with the inputs
  Vec3TransformPoint(p, MakeVec3(1, 0, 0), both);
  EXPECT_EQ(p.x, 19);
}

TEST(Mat4InverseRigid, UndoesRotationAndTranslation) {
  TMat4 m = Identity();
  const float angle = std::acos(-1.0f) / 2;
  m.m[0][0] = std::cos(angle), m.m[0][1] = std::sin(angle);
  m.m[1][0] = -std::sin(angle), m.m[1][1] = std::cos(angle);
  m.m[3][0] = 3, m.m[3][1] = -4, m.m[3][2] = 5;
  TMat4 inv{}, product{};
  Mat4InverseRigid(inv, m);
  Mat4Multiply(product, inv, m);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(product.m[r][c], r == c ? 1.0f : 0.0f, 1e-6f) << r << c;
  Mat4Multiply(product, m, inv);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(product.m[r][c], r == c ? 1.0f : 0.0f, 1e-6f) << r << c;
}

TEST(Mat3, DeterminantOfBlock) {
  TMat3 m3{};
  Mat4ToMat3(m3, Identity());
  EXPECT_EQ(Mat3Determinant(m3), 1.0f);
  TMat4 m{};
  const float values[3][3] = {{2, 0, 1}, {1, 3, 2}, {1, 1, 1}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) m.m[r][c] = values[r][c];
  m.m[3][3] = 99;
  Mat4ToMat3(m3, m);
  EXPECT_EQ(m3.m[2][1], 1.0f);
  EXPECT_EQ(Mat3Determinant(m3), 2 * (3 - 2) - 0 + 1 * (1 - 3));
}

TEST(Vec3Add, OutputMayBeAnInput) {
  TVec3 a = MakeVec3(1, 2, 3);
  Vec3Add(a, a, a);
  EXPECT_EQ(a.x, 2);
  EXPECT_EQ(a.z, 6);
  EXPECT_EQ(MakeVec2(1, 2).y, 2);
}

}  // namespace
}  // namespace data
