#pragma once

#include "app/App.h"

#include <string>
#include <vector>

// The pointers of the application and of the gadget managers that hold a
// gadget no longer in the tree under the root gadgets, by name ("capture",
// "current hover", "under pointer of ..."): none is right. Compared against
// the live tree, not against what was closed, so a gadget that left is
// caught even where a new one now lies at its address.
std::vector<std::string> StrayGadgets(const App& app);
