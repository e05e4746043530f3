#include "app/compatibility/TriangleRasterizerMembers.h"

namespace Compatibility {

const TriangleRasterizerTable& TriangleRasterizersRGB555()
{
    static constexpr TriangleRasterizerTable table = Members::MakeTable<Pixels::RGB555>();
    return table;
}

} // namespace Compatibility
