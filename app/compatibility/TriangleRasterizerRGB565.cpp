#include "app/compatibility/TriangleRasterizerMembers.h"

namespace Compatibility {

const TriangleRasterizerTable& TriangleRasterizersRGB565()
{
    static constexpr TriangleRasterizerTable table = Members::MakeTable<Pixels::RGB565>();
    return table;
}

} // namespace Compatibility
