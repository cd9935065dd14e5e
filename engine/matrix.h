#pragma once
// The matrix stack: one current 4x4 matrix that every transform of the engine
// and of the game goes through, and a stack of 50 saved matrices.
//
// Conventions of the whole engine: points are row vectors, element 4r + c is
// row r, column c, the translation sits in elements 12..14, and every
// operation post-multiplies (current = current x M, so M acts after what the
// current matrix already does). Angles are radians.
#include "engine/records.h"

inline constexpr Matrix kMatrixIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Writes the identity into a record's matrix (the current matrix is untouched).
inline void MatrixSetIdentity(float m[16]) {
  for (int i = 0; i < kMatrixElements; ++i) m[i] = kMatrixIdentity[i];
}

extern Matrix g_CurrentMatrix;
extern MatrixStack g_MatrixStack;

void MatrixLoad(const float m[16]);
void MatrixGet(float out[16]);
void MatrixIdentity();
// Saves the current matrix; 0 and no change when all 50 places are taken.
// The matching pop then restores an older matrix: callers that may nest that
// deep check the result.
int MatrixPush();
// Restores the last saved matrix; nothing on an empty stack.
void MatrixPop();
void MatrixMultiply(const float m[16]);
void MatrixRotateX(float angle);
void MatrixRotateY(float angle);
void MatrixRotateZ(float angle);
// Scales column 0 by sx, 1 by sy, 2 by sz (the translation row included).
void MatrixScale(float sx, float sy, float sz);
// Adds to the translation row.
void MatrixTranslate(float x, float y, float z);
// Maps (x, y, z) by the current matrix; the fourth column is not used.
void MatrixTransformPoint(float x, float y, float z, float* ox, float* oy, float* oz);
// Gauss-Jordan with partial pivoting; a singular matrix becomes all zeros.
void MatrixInvert();
// Gram-Schmidt over rows 0..2 as 4-vectors; row 3 untouched.
void MatrixOrthonormalise();
// The rotation about the axis, on its own; 0 and the identity for a zero
// axis. Same turn as MatrixRotateAxis.
int MatrixAxisAngle(float ax, float ay, float az, float angle, float out[16]);
// current = current x rotation about the axis. With the axis (1, 0, 0) this
// turns the opposite way from MatrixRotateX; a zero axis changes nothing.
void MatrixRotateAxis(float ax, float ay, float az, float angle);
