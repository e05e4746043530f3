#pragma once

#include "app/Color.h"
#include "app/Rect.h"

// Field-by-field float comparisons, so a failure names the field that differs.
void ExpectRect(const Rect& r, float x, float y, float w, float h);
void ExpectColor(const Color& c, float r, float g, float b, float a);
