#include "app/Matrix.h"

#include "app/Math.h"

#include <cmath>
#include <cstring>

Matrix::Matrix()
{
    Identity();
}

void Matrix::Identity()
{
    std::memset(m, 0, sizeof(m));
    m[0] = m[5] = m[10] = m[15] = 1.0f;
}

void Matrix::Translate(float x, float y, float z)
{
    Matrix step;
    MatrixMultiply(*this, *this, MatrixTranslation(step, x, y, z));
}

void Matrix::Translate2D(float x, float y)
{
    Translate(x, y, 0.0f);
}

void Matrix::Scale(float x, float y, float z)
{
    Matrix step;
    MatrixMultiply(*this, *this, MatrixScaling(step, x, y, z));
}

void Matrix::Rotate(float degrees)
{
    Matrix step;
    MatrixMultiply(*this, *this, MatrixRotationZ(step, degrees * Math::PI / 180.0f));
}

void Matrix::SetTranslation(float x, float y, float z)
{
    m[12] = x;
    m[13] = y;
    m[14] = z;
}

bool Matrix::HasRotationOrScale() const
{
    return m[0] != 1.0f || m[5] != 1.0f || m[10] != 1.0f || m[1] != 0.0f || m[2] != 0.0f || m[4] != 0.0f ||
           m[6] != 0.0f || m[8] != 0.0f || m[9] != 0.0f;
}

bool Matrix::HasFractionalTranslation() const
{
    return m[12] != std::trunc(m[12]) || m[13] != std::trunc(m[13]) || m[14] != std::trunc(m[14]);
}

void Matrix::TransformPoint(Point& out, float x, float y) const
{
    out.x = x * m[0] + y * m[4] + m[12];
    out.y = x * m[1] + y * m[5] + m[13];
}

Matrix& MatrixMultiply(Matrix& out, const Matrix& a, const Matrix& b)
{
    // Computing into a temporary gives the same sums as the in-place orders
    // and lets "out" be either input or both.
    float product[16];
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[row * 4 + k] * b.m[k * 4 + col];
            product[row * 4 + col] = sum;
        }
    }
    std::memcpy(out.m, product, sizeof(product));
    return out;
}

Matrix& MatrixScaling(Matrix& out, float sx, float sy, float sz)
{
    out.Identity();
    out.m[0] = sx;
    out.m[5] = sy;
    out.m[10] = sz;
    return out;
}

Matrix& MatrixTranslation(Matrix& out, float tx, float ty, float tz)
{
    out.Identity();
    out.SetTranslation(tx, ty, tz);
    return out;
}

Matrix& MatrixRotationZ(Matrix& out, float radians)
{
    float c = std::cos(radians);
    float s = std::sin(radians);
    out.Identity();
    out.m[0] = c;
    out.m[1] = s;
    out.m[4] = -s;
    out.m[5] = c;
    return out;
}

Matrix& MatrixOrthoOffCenter(Matrix& out, float l, float r, float b, float t, float zn, float zf)
{
    std::memset(out.m, 0, sizeof(out.m));
    out.m[0] = 2.0f / (r - l);
    out.m[5] = 2.0f / (t - b);
    out.m[10] = 1.0f / (zf - zn);
    out.m[12] = -(l + r) / (r - l);
    out.m[13] = -(t + b) / (t - b);
    out.m[14] = -zn / (zf - zn);
    out.m[15] = 1.0f;
    return out;
}

Vector3& Vec3Normalize(Vector3& out, const Vector3& v)
{
    float squared = v.x * v.x + v.y * v.y + v.z * v.z;
    if (std::fabs(squared - 1.0f) <= 1e-5f) {
        out = v;
    } else if (squared < 1e-10f) {
        out = Vector3{};
    } else {
        float length = std::sqrt(squared);
        out = Vector3{v.x / length, v.y / length, v.z / length};
    }
    return out;
}

Vector3& Vec3Cross(Vector3& out, const Vector3& a, const Vector3& b)
{
    Vector3 cross{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    out = cross;
    return out;
}

Plane& PlaneFromPoints(Plane& out, const Vector3& p1, const Vector3& p2, const Vector3& p3)
{
    Vector3 edge1{p1.x - p2.x, p1.y - p2.y, p1.z - p2.z};
    Vector3 edge2{p1.x - p3.x, p1.y - p3.y, p1.z - p3.z};
    Vector3 normal;
    Vec3Normalize(normal, Vec3Cross(normal, edge1, edge2));
    out = Plane{normal.x, normal.y, normal.z, -(normal.x * p1.x + normal.y * p1.y + normal.z * p1.z)};
    return out;
}
