#include "app/RectComplex.h"

#include "app/Console.h"
#include "app/RectComplexOutline.h"

#include <algorithm>
#include <cmath>

namespace {
// A cut that peels one rectangle costs a handful of steps; far more than
// this means the region is not what its owner meant to build.
constexpr int kMaxSubtractSteps = 500;

// A rectangle's edges cut down to whole units.
struct Edges
{
    double left;
    double top;
    double right;
    double bottom;
};

Edges WholeEdges(float x, float y, float w, float h)
{
    return {std::trunc(x), std::trunc(y), std::trunc(x + w), std::trunc(y + h)};
}

Rect* NewRect(double left, double top, double right, double bottom)
{
    return new Rect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right - left),
                    static_cast<float>(bottom - top));
}

bool SameRow(const Rect& a, const Rect& b)
{
    return a.y == b.y && a.h == b.h;
}

bool SameColumn(const Rect& a, const Rect& b)
{
    return a.x == b.x && a.w == b.w;
}

bool TouchesAlong(float a, float aLength, float b, float bLength)
{
    return (a <= b && b <= a + aLength) || (b <= a && a <= b + bLength);
}

bool TouchesHorizontally(const Rect& a, const Rect& b)
{
    return SameRow(a, b) && TouchesAlong(a.x, a.w, b.x, b.w);
}

bool TouchesVertically(const Rect& a, const Rect& b)
{
    return SameColumn(a, b) && TouchesAlong(a.y, a.h, b.y, b.h);
}

double Area(const Rect& r)
{
    return static_cast<double>(r.w) * r.h;
}
} // namespace

RectComplex::RectComplex() = default;

RectComplex::RectComplex(float x, float y, float w, float h)
{
    if (w != 0 && h != 0) {
        AddRect(x, y, w, h);
    }
}

RectComplex::~RectComplex()
{
    Clear();
}

void RectComplex::Clear()
{
    for (int i = 0; i < rects.Count(); i++) {
        delete &RectAt(i);
    }
    rects.Clear();
    outline.reset();
}

void RectComplex::AddRect(float x, float y, float w, float h)
{
    rects.Add(new Rect(x, y, w, h));
}

void RectComplex::AddRectValue(const Rect& rect)
{
    rects.Add(new Rect(rect));
}

void RectComplex::DeleteAt(int i)
{
    Rect* rect = &RectAt(i);
    rects.RemoveAt(i);
    delete rect;
}

void RectComplex::Add(float x, float y, float w, float h)
{
    if (w == 0 || h == 0) {
        return;
    }
    if (rects.IsEmpty()) {
        AddRect(x, y, w, h);
        return;
    }
    RectComplex uncovered(x, y, w, h);
    Rect added(x, y, w, h);
    for (int i = rects.Count() - 1; i >= 0; i--) {
        const Rect& existing = RectAt(i);
        if (existing.OverlapsRect(added)) {
            uncovered.Subtract(existing.x, existing.y, existing.w, existing.h);
            if (uncovered.IsEmpty()) {
                return;
            }
        }
    }
    // The pieces change owner.
    for (int i = uncovered.rects.Count() - 1; i >= 0; i--) {
        rects.Add(uncovered.rects.Get(i));
    }
    uncovered.rects.Clear();
}

void RectComplex::Subtract(float x, float y, float w, float h)
{
    if (w == 0 || h == 0) {
        return;
    }
    Edges cut = WholeEdges(x, y, w, h);
    int steps = 0;
    for (int i = rects.Count() - 1; i >= 0;) {
        if (++steps > kMaxSubtractSteps) {
            theConsole->Printf("WARNING: RectComplex::Subtract(%g, %g, %g, %g) gave up after %d steps", x, y,
                               w, h, kMaxSubtractSteps);
            return;
        }
        SubtractStep(i, cut.left, cut.top, cut.right, cut.bottom);
    }
}

// Examines rectangle i against the cut and moves i on. An overlapping
// rectangle loses one side at a time: it is replaced by two pieces at its
// index, and the later piece is examined next.
void RectComplex::SubtractStep(int& i, double cutLeft, double cutTop, double cutRight, double cutBottom)
{
    const Rect& rect = RectAt(i);
    Edges r = WholeEdges(rect.x, rect.y, rect.w, rect.h);
    if (cutRight <= r.left || r.right <= cutLeft || cutBottom <= r.top || r.bottom <= cutTop) {
        i--;
        return;
    }
    DeleteAt(i);
    Rect* first = nullptr;
    Rect* second = nullptr;
    if (r.left < cutLeft) {
        first = NewRect(cutLeft, r.top, r.right, r.bottom);
        second = NewRect(r.left, r.top, cutLeft, r.bottom);
    } else if (r.right > cutRight) {
        first = NewRect(cutRight, r.top, r.right, r.bottom);
        second = NewRect(r.left, r.top, cutRight, r.bottom);
    } else if (r.top < cutTop) {
        first = NewRect(r.left, cutTop, r.right, r.bottom);
        second = NewRect(r.left, r.top, r.right, cutTop);
    } else if (r.bottom > cutBottom) {
        first = NewRect(r.left, cutBottom, r.right, r.bottom);
        second = NewRect(r.left, r.top, r.right, cutBottom);
    } else {
        i--;
        return;
    }
    rects.Insert(first, i);
    rects.Insert(second, i);
    i++;
}

void RectComplex::Optimize()
{
    while (MergeBlock()) {
    }
    while (MergePair()) {
    }
    while (RemoveContained()) {
    }
}

// Four rectangles forming a 2x2 block become one. Only a block they tile
// exactly is merged: a fourth rectangle that merely ends at the block's
// corner would otherwise pull the gap beside it into the region.
bool RectComplex::MergeBlock()
{
    int count = rects.Count();
    for (int a = 0; a < count; a++) {
        Rect& rectA = RectAt(a);
        for (int b = 0; b < count; b++) {
            if (b == a || !TouchesVertically(rectA, RectAt(b))) {
                continue;
            }
            for (int c = 0; c < count; c++) {
                if (c == a || c == b || !TouchesHorizontally(rectA, RectAt(c))) {
                    continue;
                }
                Rect block = rectA.Union(RectAt(b)).Union(RectAt(c));
                for (int d = 0; d < count; d++) {
                    const Rect& rectD = RectAt(d);
                    if (d == a || d == b || d == c || rectD.x + rectD.w != block.x + block.w ||
                        rectD.y + rectD.h != block.y + block.h) {
                        continue;
                    }
                    if (Area(rectA) + Area(RectAt(b)) + Area(RectAt(c)) + Area(rectD) != Area(block)) {
                        continue;
                    }
                    Rect* removed[] = {&RectAt(b), &RectAt(c), &RectAt(d)};
                    rectA = block;
                    for (Rect* rect : removed) {
                        rects.Remove(rect);
                        delete rect;
                    }
                    return true;
                }
            }
        }
    }
    return false;
}

bool RectComplex::MergePair()
{
    for (int a = 0; a < rects.Count(); a++) {
        for (int b = 0; b < rects.Count(); b++) {
            if (b != a &&
                (TouchesHorizontally(RectAt(a), RectAt(b)) || TouchesVertically(RectAt(a), RectAt(b)))) {
                RectAt(a) = RectAt(a).Union(RectAt(b));
                DeleteAt(b);
                return true;
            }
        }
    }
    return false;
}

bool RectComplex::RemoveContained()
{
    for (int a = 0; a < rects.Count(); a++) {
        for (int b = 0; b < rects.Count(); b++) {
            if (b == a) {
                continue;
            }
            Rect clipped = RectAt(b);
            clipped.ClipTo(RectAt(a));
            const Rect& rectB = RectAt(b);
            if (clipped.x == rectB.x && clipped.y == rectB.y && clipped.w == rectB.w &&
                clipped.h == rectB.h) {
                DeleteAt(b);
                return true;
            }
        }
    }
    return false;
}

Rect RectComplex::GetRect(int i) const
{
    return rects.Get(i) ? RectAt(i) : Rect();
}

bool RectComplex::Contains(float px, float py) const
{
    for (int i = 0; i < rects.Count(); i++) {
        if (RectAt(i).Contains(px, py)) {
            return true;
        }
    }
    return false;
}

float RectComplex::Extreme(float (*edge)(const Rect&), bool smallest) const
{
    float extreme = rects.IsEmpty() ? 0.0f : edge(RectAt(0));
    for (int i = 1; i < rects.Count(); i++) {
        float value = edge(RectAt(i));
        extreme = smallest ? std::min(extreme, value) : std::max(extreme, value);
    }
    return extreme;
}

float RectComplex::GetLeft() const
{
    return Extreme([](const Rect& r) { return r.x; }, true);
}

float RectComplex::GetTop() const
{
    return Extreme([](const Rect& r) { return r.y; }, true);
}

float RectComplex::GetRight() const
{
    return Extreme([](const Rect& r) { return r.x + r.w; }, false);
}

float RectComplex::GetBottom() const
{
    return Extreme([](const Rect& r) { return r.y + r.h; }, false);
}

void RectComplex::BuildOutline(float d)
{
    outline = std::make_unique<RectComplexOutline>();
    outline->Build(*this, d);
}

int RectComplex::GetCornerCount() const
{
    return outline ? outline->corners.Count() : 0;
}

int RectComplex::GetLineCount() const
{
    return outline ? outline->edges.Count() : 0;
}

Line RectComplex::GetOutlineLine(int i) const
{
    Line* line = outline ? static_cast<Line*>(outline->edges.Get(i)) : nullptr;
    return line ? *line : Line();
}

int RectComplex::GetOutlineFlag(int i) const
{
    auto* corner = outline ? static_cast<RectComplexCorner*>(outline->corners.Get(i)) : nullptr;
    return corner && corner->concave ? 1 : 0;
}
