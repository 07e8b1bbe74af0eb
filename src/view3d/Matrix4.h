#pragma once

namespace trelvano {
// 4 × 4 matrices for the point transform. Rows and columns 1 … 4 of the
// usual notation are indexes 0 … 3 here. Points are row vectors (x, y, z, 1)
// multiplied from the left, so translations sit in the last row and A · B
// applies A first.

struct Matrix4 {
  double m[4][4];
  static Matrix4 identity();
};

// C := A · B. Arguments are taken by value, so C may alias A or B.
void MulMatrix(Matrix4 A, Matrix4 B, Matrix4& C);
// C := A + B, element by element; arguments by value like MulMatrix.
void AddMatrix(Matrix4 A, Matrix4 B, Matrix4& C);

}  // namespace trelvano
