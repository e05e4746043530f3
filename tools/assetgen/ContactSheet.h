#pragma once

#include "tools/assetgen/AssetWriter.h"

#include <string>

namespace AssetGen {

// One PNG showing every generated picture small, with its name and size,
// on a checkerboard so that transparency shows.
class ContactSheet
{
  public:
    static void Write(const std::string& path, const std::vector<Thumbnail>& thumbnails);
};

} // namespace AssetGen
