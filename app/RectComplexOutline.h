#pragma once

#include "app/List.h"

class RectComplex;

// One corner of a region's outline. The direction flags say where the
// outline leaves the corner; building the edges uses them up.
struct RectComplexCorner
{
    float x = 0.0f;
    float y = 0.0f;
    bool down = false;
    bool up = false;
    bool left = false;
    bool right = false;
    bool concave = false; // an inside corner
};

// The outline of a RectComplex: its corners and its edges, each with an
// outward normal. corners, cornerNormals and cornerPoints run in parallel,
// as do edges, insetEdges and edgeNormals. Owns every item.
class RectComplexOutline
{
  public:
    RectComplexOutline() = default;
    RectComplexOutline(const RectComplexOutline&) = delete;
    RectComplexOutline& operator=(const RectComplexOutline&) = delete;
    virtual ~RectComplexOutline();

    // d is the probe distance: a small positive number, less than the
    // smallest feature of the region.
    void Build(const RectComplex& region, float d);

    List corners;       // RectComplexCorner*
    List cornerNormals; // Point*: outward diagonals, components +-0.707107
    List cornerPoints;  // Point*: copies of the positions, free for the owner to move
    List insetEdges;    // Line*: between the cornerPoints entries
    List edges;         // Line*: between the corner positions
    List edgeNormals;   // Point*: outward unit normals

  private:
    void AddCandidate(const RectComplex& region, float px, float py, float d);
    bool HasCorner(float px, float py) const;
    void BuildEdges();
    void AddEdge(int from, int to);
    void BuildEdgeNormals(const RectComplex& region, float d);
};
