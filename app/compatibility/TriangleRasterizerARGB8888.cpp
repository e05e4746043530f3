#include "app/compatibility/TriangleRasterizerMembers.h"

namespace Compatibility {

const TriangleRasterizerTable& TriangleRasterizersARGB8888()
{
    static constexpr TriangleRasterizerTable table = Members::MakeTable<Pixels::ARGB8888>();
    return table;
}

} // namespace Compatibility
