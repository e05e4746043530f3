#pragma once

// A position or a vector in screen pixels (y grows downwards).
struct Point
{
    float x = 0.0f;
    float y = 0.0f;

    constexpr Point() = default;
    constexpr Point(float px, float py) : x(px), y(py) {}

    Point& Assign(const Point& other);
    float Length() const;
    // A zero vector has no direction and stays zero.
    void SetLength(float length);
};
