#pragma once

#include "RecordingGadget.h"

#include <algorithm>

// The notices a listener got since the last Take; its own mouse calls are
// dropped with them.
inline int TakeNotices(RecordingGadget& listener)
{
    std::vector<std::string> log = listener.Take();
    return static_cast<int>(std::count(log.begin(), log.end(), "notify"));
}
