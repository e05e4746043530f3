// Pushing overlapping rectangles apart.
#include "game/Clutter.h"

#include <algorithm>

namespace {

constexpr int kMaxPasses = 1000;
// Bounds on the stepping method: a rectangle hemmed in by fixed ones, or
// one of no size, would otherwise step for ever.
constexpr int kMaxStepPasses = 1000;
constexpr int kMaxSteps = 10000;
constexpr float kMinStep = 1.0f;

Rect AsRect(const Clutter::WorkRect& work)
{
    return Rect(work.x, work.y, work.w, work.h);
}

Point Centre(float x, float y, float w, float h)
{
    return Point(x + w / 2.0f, y + h / 2.0f);
}

} // namespace

Clutter::Clutter() = default;

Clutter::~Clutter() = default;

void Clutter::Add(Rect rect, bool fixed)
{
    sourceRects.push_back(rect);
    workRects.push_back(WorkRect{rect.x, rect.y, rect.w, rect.h, fixed});
}

Point Clutter::GetOffset(int i) const
{
    if (i < 0 || i >= static_cast<int>(workRects.size()))
        return Point();
    const WorkRect& work = workRects[static_cast<size_t>(i)];
    const Rect& source = sourceRects[static_cast<size_t>(i)];
    return Point(work.x - source.x, work.y - source.y);
}

bool Clutter::FindOverlap(const WorkRect& record, Rect* out) const
{
    const Rect mine = AsRect(record);
    for (const WorkRect& other : workRects) {
        if (&other == &record || !mine.OverlapsRect(AsRect(other)))
            continue;
        if (out != nullptr)
            *out = AsRect(other);
        return true;
    }
    return false;
}

void Clutter::Relax()
{
    if (sourceRects.empty())
        return;
    Point centre;
    for (const Rect& rect : sourceRects) {
        const Point c = Centre(rect.x, rect.y, rect.w, rect.h);
        centre.x += c.x;
        centre.y += c.y;
    }
    centre.x /= static_cast<float>(sourceRects.size());
    centre.y /= static_cast<float>(sourceRects.size());

    // Pushing apart along the axis of the smaller overlap. Only a real move
    // counts, so a rectangle of no size cannot keep a pass going.
    bool overlapping = true;
    for (int pass = 0; pass < kMaxPasses && overlapping; pass++) {
        bool moved = false;
        overlapping = false;
        for (WorkRect& r : workRects) {
            Rect o;
            if (r.fixed || !FindOverlap(r, &o))
                continue;
            overlapping = true;
            const Rect i = o.Intersection(AsRect(r));
            if (i.h < i.w) {
                r.y += o.y > r.y ? -i.h : i.h;
                moved = moved || i.h > 0.0f;
            } else {
                r.x += o.x > r.x ? -i.w : i.w;
                moved = moved || i.w > 0.0f;
            }
        }
        if (!moved)
            break;
    }
    if (!overlapping)
        return;

    // Stepping away from the common centre until free.
    for (int pass = 0; pass < kMaxStepPasses; pass++) {
        bool moved = false;
        for (WorkRect& r : workRects) {
            if (r.fixed)
                continue;
            const Point c = Centre(r.x, r.y, r.w, r.h);
            Point dir(c.x - centre.x, c.y - centre.y);
            if (dir.Length() == 0.0f)
                dir = Point(0.0f, -1.0f); // on the centre: no way out but a fixed one
            dir.SetLength(1.0f);
            const float step = std::max(std::min(r.w, r.h) / 10.0f, kMinStep);
            for (int i = 0; i < kMaxSteps && FindOverlap(r, nullptr); i++) {
                r.x += dir.x * step;
                r.y += dir.y * step;
                moved = true;
            }
        }
        if (!moved)
            break;
    }
}
