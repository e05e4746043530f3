#include "app/IntPoint.h"

IntPoint& IntPoint::Assign(const IntPoint& other)
{
    x = other.x;
    y = other.y;
    return *this;
}
