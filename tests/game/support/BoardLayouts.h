#pragma once
// Every grid a journey's level types make, by level type and difficulty:
// the duel first, then the 8 x 8 grid (Casual and Speed boards are 8 x 8
// too) and each size of the skull, matches and gold levels.

#include "game/GameTypes.h"

#include <vector>

struct BoardLayout
{
    const char* what;
    LevelType type;
    int difficulty;
};

inline std::vector<BoardLayout> BoardLayouts()
{
    std::vector<BoardLayout> layouts = {{"duel", LevelType::Duel, 50}, {"8 x 8", LevelType::Meter, 50}};
    for (int d : {0, 30, 60, 89, 100})
        layouts.push_back({"skulls", LevelType::Skulls, d});
    for (int d : {0, 20, 30, 40, 50, 70, 100})
        layouts.push_back({"matches", LevelType::Matches, d});
    for (int d = 0; d <= 90; d += 15)
        layouts.push_back({"go gold", LevelType::GoGold, d});
    return layouts;
}
