#include "engine/matrix.h"

#include <cmath>
#include <cstring>
#include <utility>

Matrix g_CurrentMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
MatrixStack g_MatrixStack;

namespace {

// current = current x the turn in the plane of axes i and j that takes axis i
// towards axis j: X is (1, 2), Y (2, 0), Z (0, 1).
void MultiplyPlaneTurn(int i, int j, float angle) {
  Matrix r;
  MatrixSetIdentity(r);
  const float c = std::cos(angle), s = std::sin(angle);
  r[4 * i + i] = c;
  r[4 * i + j] = s;
  r[4 * j + i] = -s;
  r[4 * j + j] = c;
  MatrixMultiply(r);
}

}  // namespace

void MatrixLoad(const float m[16]) { std::memcpy(g_CurrentMatrix, m, sizeof(Matrix)); }

void MatrixGet(float out[16]) { std::memcpy(out, g_CurrentMatrix, sizeof(Matrix)); }

void MatrixIdentity() { MatrixSetIdentity(g_CurrentMatrix); }

int MatrixPush() {
  if (g_MatrixStack.depth >= kMatrixStackDepth) return 0;
  std::memcpy(g_MatrixStack.saved[g_MatrixStack.depth], g_CurrentMatrix, sizeof(Matrix));
  ++g_MatrixStack.depth;
  return 1;
}

void MatrixPop() {
  if (g_MatrixStack.depth <= 0) return;
  --g_MatrixStack.depth;
  std::memcpy(g_CurrentMatrix, g_MatrixStack.saved[g_MatrixStack.depth], sizeof(Matrix));
}

void MatrixMultiply(const float m[16]) {
  Matrix result;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += g_CurrentMatrix[4 * r + k] * m[4 * k + c];
      result[4 * r + c] = sum;
    }
  }
  MatrixLoad(result);
}

void MatrixRotateX(float angle) { MultiplyPlaneTurn(1, 2, angle); }

void MatrixRotateY(float angle) { MultiplyPlaneTurn(2, 0, angle); }

void MatrixRotateZ(float angle) { MultiplyPlaneTurn(0, 1, angle); }

void MatrixScale(float sx, float sy, float sz) {
  for (int row = 0; row < 4; ++row) {
    g_CurrentMatrix[4 * row + 0] *= sx;
    g_CurrentMatrix[4 * row + 1] *= sy;
    g_CurrentMatrix[4 * row + 2] *= sz;
  }
}

void MatrixTranslate(float x, float y, float z) {
  g_CurrentMatrix[12] += x;
  g_CurrentMatrix[13] += y;
  g_CurrentMatrix[14] += z;
}

void MatrixTransformPoint(float x, float y, float z, float* ox, float* oy, float* oz) {
  const float* m = g_CurrentMatrix;
  *ox = x * m[0] + y * m[4] + z * m[8] + m[12];
  *oy = x * m[1] + y * m[5] + z * m[9] + m[13];
  *oz = x * m[2] + y * m[6] + z * m[10] + m[14];
}

void MatrixInvert() {
  Matrix a;
  Matrix inv;
  MatrixGet(a);
  MatrixSetIdentity(inv);
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int row = col + 1; row < 4; ++row) {
      if (std::fabs(a[4 * row + col]) > std::fabs(a[4 * pivot + col])) pivot = row;
    }
    const float p = a[4 * pivot + col];
    if (p == 0.0f) {
      std::memset(g_CurrentMatrix, 0, sizeof(Matrix));
      return;
    }
    if (pivot != col) {
      for (int k = 0; k < 4; ++k) {
        std::swap(a[4 * pivot + k], a[4 * col + k]);
        std::swap(inv[4 * pivot + k], inv[4 * col + k]);
      }
    }
    for (int k = 0; k < 4; ++k) {
      a[4 * col + k] /= p;
      inv[4 * col + k] /= p;
    }
    for (int row = col + 1; row < 4; ++row) {
      const float f = a[4 * row + col];
      if (f == 0.0f) continue;
      for (int k = 0; k < 4; ++k) {
        a[4 * row + k] -= f * a[4 * col + k];
        inv[4 * row + k] -= f * inv[4 * col + k];
      }
    }
  }
  // Backward pass: clear everything above the diagonal.
  for (int col = 3; col > 0; --col) {
    for (int row = 0; row < col; ++row) {
      const float f = a[4 * row + col];
      if (f == 0.0f) continue;
      for (int k = 0; k < 4; ++k) {
        a[4 * row + k] -= f * a[4 * col + k];
        inv[4 * row + k] -= f * inv[4 * col + k];
      }
    }
  }
  MatrixLoad(inv);
}

void MatrixOrthonormalise() {
  float* m = g_CurrentMatrix;
  for (int row = 0; row < 3; ++row) {
    float* v = m + 4 * row;
    for (int before = 0; before < row; ++before) {
      const float* u = m + 4 * before;
      const float dot = v[0] * u[0] + v[1] * u[1] + v[2] * u[2] + v[3] * u[3];
      for (int k = 0; k < 4; ++k) v[k] -= dot * u[k];
    }
    const float lengthSquared = v[0] * v[0] + v[1] * v[1] + v[2] * v[2] + v[3] * v[3];
    if (lengthSquared > 0.000001f) {
      const float length = std::sqrt(lengthSquared);
      for (int k = 0; k < 4; ++k) v[k] /= length;
    }
  }
}

int MatrixAxisAngle(float ax, float ay, float az, float angle, float r[16]) {
  MatrixSetIdentity(r);
  const float length = std::sqrt(std::fabs(ax * ax + ay * ay + az * az));
  if (length == 0.0f) return 0;
  const float x = ax / length, y = ay / length, z = az / length;
  const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
  r[0] = c + x * x * t;
  r[1] = x * y * t - z * s;
  r[2] = x * z * t + y * s;
  r[4] = x * y * t + z * s;
  r[5] = c + y * y * t;
  r[6] = y * z * t - x * s;
  r[8] = x * z * t - y * s;
  r[9] = y * z * t + x * s;
  r[10] = c + z * z * t;
  return 1;
}

void MatrixRotateAxis(float ax, float ay, float az, float angle) {
  Matrix r;
  if (MatrixAxisAngle(ax, ay, az, angle, r)) MatrixMultiply(r);
}
