#include "StrayGadgets.h"

#include "app/Gadget.h"

#include <set>

namespace {

void CollectLive(const GadgetManager& manager, std::set<const Gadget*>& live)
{
    for (int i = 0; i < manager.live.Count(); ++i) {
        auto* gadget = static_cast<const Gadget*>(manager.live.Get(i));
        live.insert(gadget);
        if (gadget->children != nullptr)
            CollectLive(*gadget->children, live);
    }
}

// A manager's gadget under the pointer must be one of its own live gadgets.
void CheckUnderPointer(const GadgetManager& manager, const std::string& owner,
                       std::vector<std::string>& stray)
{
    if (manager.underPointer != nullptr && manager.live.IndexOf(manager.underPointer) < 0)
        stray.push_back("under pointer of " + owner);
    for (int i = 0; i < manager.live.Count(); ++i) {
        auto* gadget = static_cast<const Gadget*>(manager.live.Get(i));
        if (gadget->children != nullptr)
            CheckUnderPointer(*gadget->children, owner + "/" + gadget->name, stray);
    }
}

} // namespace

std::vector<std::string> StrayGadgets(const App& app)
{
    std::set<const Gadget*> live;
    CollectLive(app.rootGadgets, live);
    std::vector<std::string> stray;
    const struct
    {
        const char* name;
        const Gadget* gadget;
    } held[] = {
        {"capture", app.captureGadget},
        {"hover", app.hoverGadget},
        {"key focus", app.keyFocusGadget},
        {"wheel focus", app.wheelFocusGadget},
        {"previous hover", GadgetManager::previousHover},
        {"current hover", GadgetManager::currentHover},
    };
    for (const auto& pointer : held)
        if (pointer.gadget != nullptr && live.count(pointer.gadget) == 0)
            stray.push_back(pointer.name);
    CheckUnderPointer(app.rootGadgets, "the root", stray);
    return stray;
}
