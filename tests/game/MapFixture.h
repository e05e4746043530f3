#pragma once
// A map over a session without art: the application exists for the Game but
// the map gets none, so nothing is loaded, played or drawn.

#include "app/Random.h"
#include "game/Game.h"
#include "game/Map.h"
#include "game/QuorbSwapApp.h"

#include <gtest/gtest.h>
#include <memory>

class MapFixture : public testing::Test
{
  protected:
    void SetUp() override { theRandom->Seed(1); }

    // A fresh map on a fresh profile, generated from the seed.
    Map& NewMap(uint32_t seed, Difficulty difficulty = Difficulty::Normal, int unownedPieces = kJigsawPieceCount)
    {
        progress = ProfileProgress();
        for (int i = 0; i < kJigsawPieceCount; ++i) {
            progress.pieces[i].puzzleId = uint32_t(i / kJigsawPiecesPerPicture);
            progress.pieces[i].pieceId = uint32_t(i % kJigsawPiecesPerPicture);
            progress.pieces[i].owned = i < kJigsawPieceCount - unownedPieces ? 1 : 0;
        }
        game.difficulty = difficulty;
        map = std::make_unique<Map>(nullptr, &game);
        map->progress = &progress;
        theRandom->Seed(seed);
        map->Generate();
        return *map;
    }

    // Runs map updates as the application would while the map is shown.
    void Step(int updates)
    {
        for (int i = 0; i < updates; ++i)
            map->Update();
    }

    QuorbSwapApp app;
    Game game{&app};
    ProfileProgress progress;
    std::unique_ptr<Map> map;
};
