#pragma once
// Pushes overlapping rectangles apart; fixed ones push but never move.

#include "app/Point.h"
#include "app/Rect.h"

#include <vector>

class Clutter
{
  public:
    struct WorkRect {
        float x = 0.0f;
        float y = 0.0f;
        float w = 0.0f;
        float h = 0.0f;
        bool fixed = false;
    };

    Clutter();
    virtual ~Clutter();

    void Add(Rect rect, bool fixed);
    void Relax();
    Point GetOffset(int i) const;
    bool FindOverlap(const WorkRect& record, Rect* out) const;

    std::vector<Rect> sourceRects;
    std::vector<WorkRect> workRects;
};
