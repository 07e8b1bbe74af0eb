#include "view3d/Matrix4.h"

namespace trelvano {

Matrix4 Matrix4::identity() {
  Matrix4 r{};
  for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0;
  return r;
}

void MulMatrix(Matrix4 A, Matrix4 B, Matrix4& C) {
  // Summed from k = 0 upward so every caller gets the same rounding.
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      C.m[i][j] = 0.0;
      for (int k = 0; k < 4; ++k) C.m[i][j] = C.m[i][j] + A.m[i][k] * B.m[k][j];
    }
}

void AddMatrix(Matrix4 A, Matrix4 B, Matrix4& C) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) C.m[i][j] = A.m[i][j] + B.m[i][j];
}

}  // namespace trelvano
