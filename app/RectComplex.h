#pragma once

#include "app/Line.h"
#include "app/List.h"
#include "app/Rect.h"

#include <memory>

class RectComplexOutline;

// A region of the plane kept as disjoint axis-aligned rectangles, with the
// outline built on request. The outline is a snapshot: changing the region
// does not update it.
class RectComplex
{
  public:
    RectComplex();
    // A region of that one rectangle; empty when w or h is 0.
    RectComplex(float x, float y, float w, float h);
    RectComplex(const RectComplex&) = delete;
    RectComplex& operator=(const RectComplex&) = delete;
    virtual ~RectComplex();

    void Clear();
    // Appends without any check: the caller keeps the rectangles disjoint.
    void AddRect(float x, float y, float w, float h);
    void AddRectValue(const Rect& rect);
    // Adds only the parts not yet covered.
    void Add(float x, float y, float w, float h);
    // Cuts the rectangle out, working in whole units.
    void Subtract(float x, float y, float w, float h);
    // Merges rectangles into fewer, larger ones covering the same area.
    void Optimize();

    int GetRectCount() const { return rects.Count(); }
    Rect GetRect(int i) const;
    bool Contains(float px, float py) const;
    bool IsEmpty() const { return rects.IsEmpty(); }
    float GetLeft() const;
    float GetTop() const;
    float GetRight() const;
    float GetBottom() const;

    void BuildOutline(float d);
    // Null before BuildOutline and after Clear.
    RectComplexOutline* GetOutline() const { return outline.get(); }
    int GetCornerCount() const;
    int GetLineCount() const;
    // A zero Line when no outline was built or i is out of range.
    Line GetOutlineLine(int i) const;
    // The concave flag of corner i; 0 when there is none.
    int GetOutlineFlag(int i) const;

  private:
    Rect& RectAt(int i) const { return *static_cast<Rect*>(rects.Get(i)); }
    void DeleteAt(int i);
    void SubtractStep(int& i, double cutLeft, double cutTop, double cutRight, double cutBottom);
    float Extreme(float (*edge)(const Rect&), bool smallest) const;
    bool MergeBlock();
    bool MergePair();
    bool RemoveContained();

    List rects; // Rect*, owned
    std::unique_ptr<RectComplexOutline> outline;
};
