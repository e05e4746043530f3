#include "app/compatibility/SWHelper.h"

namespace Compatibility {

struct SWHelper::Surface
{
};

SWHelper::SWHelper() : mTransform{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

SWHelper::~SWHelper() = default;

} // namespace Compatibility
