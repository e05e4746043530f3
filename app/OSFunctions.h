#pragma once

#include "app/String.h"

// The few questions the framework asks the operating system. This is not
// Windows, so the Windows generation tests are all false.
class OSFunctions
{
  public:
    constexpr OSFunctions() = default;
    virtual ~OSFunctions() = default;

    bool IsMajorVersion4() const { return false; }
    bool IsMajorVersion5() const { return false; }
    bool IsMajorVersion6() const { return false; }

    // One line naming the system, for crash reports and hardware test results.
    String GetOSDescription() const;
    // The display driver's name ("ddraw.dll") gives the version of the library
    // that stands in for it; no other module can be loaded here, so every
    // other name gives "(not found)".
    String GetProductVersion(const String& module) const;
    // Empty when the name cannot be found.
    String GetUserName() const;
};

extern OSFunctions* theOSFunctions;
