#include "app/RectComplexOutline.h"

#include "app/Line.h"
#include "app/Point.h"
#include "app/RectComplex.h"

namespace {
constexpr float kDiagonal = 0.7071070f;
constexpr float kFar = 1e16f;

// The four diagonal probes around a candidate corner, in the order
// up-right, down-right, down-left, up-left.
struct Probe
{
    float dx;
    float dy;
    bool up;
    bool down;
    bool left;
    bool right;
};

constexpr Probe kProbes[4] = {
    {1, -1, true, false, false, true},
    {1, 1, false, true, false, true},
    {-1, 1, false, true, true, false},
    {-1, -1, true, false, true, false},
};

template <typename T> void DeleteItems(List& list)
{
    for (int i = 0; i < list.Count(); i++) {
        delete static_cast<T*>(list.Get(i));
    }
    list.Clear();
}

RectComplexCorner& CornerAt(const List& corners, int i)
{
    return *static_cast<RectComplexCorner*>(corners.Get(i));
}
} // namespace

RectComplexOutline::~RectComplexOutline()
{
    DeleteItems<RectComplexCorner>(corners);
    DeleteItems<Point>(cornerNormals);
    DeleteItems<Point>(cornerPoints);
    DeleteItems<Line>(insetEdges);
    DeleteItems<Line>(edges);
    DeleteItems<Point>(edgeNormals);
}

void RectComplexOutline::Build(const RectComplex& region, float d)
{
    for (int i = 0; i < region.GetRectCount(); i++) {
        Rect rect = region.GetRect(i);
        float left = rect.x;
        float top = rect.y;
        float right = rect.x + rect.w;
        float bottom = rect.y + rect.h;
        AddCandidate(region, left, top, d);
        AddCandidate(region, right, top, d);
        AddCandidate(region, right, bottom, d);
        AddCandidate(region, left, bottom, d);
        // Where a neighbour's top or bottom meets this rectangle's side, the
        // outline may turn without either rectangle having a corner there.
        for (int j = 0; j < region.GetRectCount(); j++) {
            if (j == i) {
                continue;
            }
            Rect other = region.GetRect(j);
            float otherRight = other.x + other.w;
            float ys[2] = {other.y, other.y + other.h};
            for (float y : ys) {
                if (top < y && y < bottom && other.x <= left && left <= otherRight) {
                    AddCandidate(region, left, y, d);
                }
            }
            for (float y : ys) {
                if (top < y && y < bottom && other.x < right && right < otherRight) {
                    AddCandidate(region, right, y, d);
                }
            }
        }
    }
    BuildEdges();
    BuildEdgeNormals(region, d);
}

bool RectComplexOutline::HasCorner(float px, float py) const
{
    for (int i = 0; i < corners.Count(); i++) {
        if (CornerAt(corners, i).x == px && CornerAt(corners, i).y == py) {
            return true;
        }
    }
    return false;
}

// One probe inside makes a convex corner, three an inside (concave) one.
// The outline leaves the corner towards the odd probe out.
void RectComplexOutline::AddCandidate(const RectComplex& region, float px, float py, float d)
{
    bool inside[4];
    int insideCount = 0;
    for (int p = 0; p < 4; p++) {
        inside[p] = region.Contains(px + kProbes[p].dx * d, py + kProbes[p].dy * d);
        insideCount += inside[p] ? 1 : 0;
    }
    if ((insideCount != 1 && insideCount != 3) || HasCorner(px, py)) {
        return;
    }
    bool concave = insideCount == 3;
    int odd = 0;
    while (inside[odd] == concave) {
        odd++;
    }
    const Probe& probe = kProbes[odd];
    auto* corner = new RectComplexCorner{px, py, probe.down, probe.up, probe.left, probe.right, concave};
    // The normal points away from the region.
    bool flipX = concave ? corner->left : corner->right;
    bool flipY = concave ? corner->up : corner->down;
    corners.Insert(corner, 0);
    cornerNormals.Insert(new Point(flipX ? -kDiagonal : kDiagonal, flipY ? -kDiagonal : kDiagonal), 0);
    cornerPoints.Insert(new Point(px, py), 0);
}

// Joins each corner to its nearest partner to the right and above, using up
// the direction flags so every edge is made once.
void RectComplexOutline::BuildEdges()
{
    for (int k = corners.Count() - 1; k >= 0; k--) {
        RectComplexCorner& corner = CornerAt(corners, k);
        int rightPartner = -1;
        int upPartner = -1;
        float rightDistance = kFar;
        float upDistance = kFar;
        for (int i = 0; i < corners.Count(); i++) {
            const RectComplexCorner& other = CornerAt(corners, i);
            if (corner.right && other.left && other.y == corner.y && other.x > corner.x &&
                other.x - corner.x < rightDistance) {
                rightDistance = other.x - corner.x;
                rightPartner = i;
            }
            if (corner.up && other.down && other.x == corner.x && other.y < corner.y &&
                corner.y - other.y < upDistance) {
                upDistance = corner.y - other.y;
                upPartner = i;
            }
        }
        if (rightPartner >= 0) {
            corner.right = false;
            CornerAt(corners, rightPartner).left = false;
            AddEdge(rightPartner, k);
        }
        if (upPartner >= 0) {
            corner.up = false;
            CornerAt(corners, upPartner).down = false;
            AddEdge(upPartner, k);
        }
    }
}

void RectComplexOutline::AddEdge(int from, int to)
{
    const RectComplexCorner& a = CornerAt(corners, from);
    const RectComplexCorner& b = CornerAt(corners, to);
    edges.Insert(new Line(a.x, a.y, b.x, b.y), 0);
    const Point& insetA = *static_cast<Point*>(cornerPoints.Get(from));
    const Point& insetB = *static_cast<Point*>(cornerPoints.Get(to));
    insetEdges.Insert(new Line(insetA.x, insetA.y, insetB.x, insetB.y), 0);
}

void RectComplexOutline::BuildEdgeNormals(const RectComplex& region, float d)
{
    for (int i = edges.Count() - 1; i >= 0; i--) {
        const Line& edge = *static_cast<Line*>(edges.Get(i));
        float midX = (edge.x1 + edge.x2) / 2;
        float midY = (edge.y1 + edge.y2) / 2;
        Point* normal = nullptr;
        if (edge.x1 == edge.x2) {
            normal = region.Contains(midX + d, midY) ? new Point(-1, 0) : new Point(1, 0);
        } else {
            normal = region.Contains(midX, midY + d) ? new Point(0, -1) : new Point(0, 1);
        }
        edgeNormals.Insert(normal, 0);
    }
}
