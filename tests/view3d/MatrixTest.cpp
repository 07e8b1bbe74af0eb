#include "view3d/Matrix4.h"

#include <gtest/gtest.h>

namespace matrix_test {

using namespace trelvano;

namespace {
Matrix4 counting(double start) {
  Matrix4 r;
  for (int i = 0; i < 16; ++i) r.m[i / 4][i % 4] = start + i;
  return r;
}
void expectEqual(const Matrix4& a, const Matrix4& b) {
  for (int i = 0; i < 16; ++i) EXPECT_EQ(a.m[i / 4][i % 4], b.m[i / 4][i % 4]) << i;
}
}  // namespace

TEST(Matrix, ProductAndAliasedOutput) {
  const Matrix4 a = counting(1), b = counting(-5);
  Matrix4 c;
  MulMatrix(a, b, c);
  EXPECT_EQ(c.m[0][0], 1 * -5 + 2 * -1 + 3 * 3 + 4 * 7);  // row of A times column of B
  EXPECT_EQ(c.m[3][1], 13 * -4 + 14 * 0 + 15 * 4 + 16 * 8);

  // Writing into an argument must not feed half-finished results back in.
  Matrix4 intoA = a, intoB = b, square = a, expectedSquare;
  MulMatrix(intoA, b, intoA);
  MulMatrix(a, intoB, intoB);
  MulMatrix(square, square, square);
  MulMatrix(a, a, expectedSquare);
  expectEqual(intoA, c);
  expectEqual(intoB, c);
  expectEqual(square, expectedSquare);
}

}  // namespace matrix_test
