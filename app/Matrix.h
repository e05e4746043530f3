#pragma once

#include "app/Point.h"

// A 4x4 transform, row-major: row i holds m[4i] .. m[4i + 3]. Points are row
// vectors multiplied on the left (p' = p x M), so the translation lives in
// the fourth row (m[12], m[13], m[14]). Each of Translate, Scale and Rotate
// multiplies on the right: a point goes through the steps in call order.
class Matrix
{
  public:
    float m[16];

    Matrix();

    void Identity();
    void Translate(float x, float y, float z);
    void Translate2D(float x, float y);
    void Scale(float x, float y, float z);
    void Rotate(float degrees);
    void SetTranslation(float x, float y, float z);

    // The upper-left 3x3 block is not the identity.
    bool HasRotationOrScale() const;
    bool HasFractionalTranslation() const;
    void TransformPoint(Point& out, float x, float y) const;
};

struct Vector3
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// a*x + b*y + c*z + d = 0 on the plane.
struct Plane
{
    float a = 0.0f;
    float b = 0.0f;
    float c = 0.0f;
    float d = 0.0f;
};

// Each helper writes into "out" and returns it. "out" may alias any input.
Matrix& MatrixMultiply(Matrix& out, const Matrix& a, const Matrix& b);
Matrix& MatrixScaling(Matrix& out, float sx, float sy, float sz);
Matrix& MatrixTranslation(Matrix& out, float tx, float ty, float tz);
Matrix& MatrixRotationZ(Matrix& out, float radians);
// Left-handed: depth zn..zf maps to 0..1.
Matrix& MatrixOrthoOffCenter(Matrix& out, float l, float r, float b, float t, float zn, float zf);
Vector3& Vec3Normalize(Vector3& out, const Vector3& v);
Vector3& Vec3Cross(Vector3& out, const Vector3& a, const Vector3& b);
Plane& PlaneFromPoints(Plane& out, const Vector3& p1, const Vector3& p2, const Vector3& p3);
