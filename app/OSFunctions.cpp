#include "app/OSFunctions.h"

#include "platform/System.h"

namespace {
constinit OSFunctions osFunctions;
} // namespace

OSFunctions* theOSFunctions = &osFunctions;

String OSFunctions::GetOSDescription() const
{
    return String(Platform::System::Description().c_str());
}

String OSFunctions::GetProductVersion(const String& module) const
{
    if (module == "ddraw.dll") {
        return String(Platform::System::DisplayLibraryVersion().c_str());
    }
    return String("(not found)");
}

String OSFunctions::GetUserName() const
{
    return String(Platform::System::UserName().c_str());
}
