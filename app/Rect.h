#pragma once

// An axis-aligned rectangle. It covers x <= px < x + w and y <= py < y + h:
// the left and top edges belong to it, the right and bottom edges do not.
// All four fields 0 is the empty rectangle.
class Rect
{
  public:
    float x = 0.0f;
    float y = 0.0f;
    float w = 0.0f;
    float h = 0.0f;

    Rect() = default;
    Rect(float rx, float ry, float rw, float rh) : x(rx), y(ry), w(rw), h(rh) {}

    Rect& Assign(const Rect& other);
    void Set(float rx, float ry, float rw, float rh);

    bool Contains(float px, float py) const;
    // Strict: rectangles that only touch do not overlap.
    bool Overlaps(float ox, float oy, float ow, float oh) const;
    bool OverlapsRect(const Rect& other) const;

    // Touching rectangles give a zero-width or zero-height rectangle at the
    // shared edge; disjoint ones give the empty rectangle.
    Rect Intersection(const Rect& other) const;
    // An empty "this" holds nothing yet; an empty "other" still counts as
    // the origin and extends the union to it.
    Rect Union(const Rect& other) const;
    void ClipTo(Rect bounds);
    Rect Expanded(float d) const;

  private:
    bool IsAllZero() const { return x == 0.0f && y == 0.0f && w == 0.0f && h == 0.0f; }
};
