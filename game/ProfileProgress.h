#pragma once
// The current profile's progress: statistics, jigsaw pieces and tutorial
// flags, stored byte for byte as the profile's "config.cfg".

#include "game/GameTypes.h"

#include <cstdint>

// Flags are bytes, not bools: the block is filled straight from a file.
struct JigsawPieceRecord
{
    uint32_t pieceId = 0;
    uint32_t puzzleId = 0;
    uint8_t owned = 0;
    uint8_t placed = 0;
    uint8_t unused[2] = {};
    float x = 0.0f; // position of a loose piece on the jigsaw page
    float y = 0.0f;
};
static_assert(sizeof(JigsawPieceRecord) == 20);

struct ProfileProgress
{
    static constexpr uint32_t kVersion = 1;
    // Piece positions are in the jigsaw picture's coordinates; its top-left
    // corner lies on the screen at this point.
    static constexpr float kPictureX = 168.0f;
    static constexpr float kPictureY = 129.0f;
    // A loose piece may lie anywhere on the screen, where it can be taken
    // again: these bound its centre.
    static constexpr float kLooseMinX = -kPictureX;
    static constexpr float kLooseMaxX = kScreenWidth - kPictureX;
    static constexpr float kLooseMinY = -kPictureY;
    static constexpr float kLooseMaxY = kScreenHeight - kPictureY;

    // A fresh block: version 1 and three different loose pieces per picture,
    // drawn from theRandom.
    static ProfileProgress CreateNew();
    // Makes a block read from a file safe to use: a picture in range, flags
    // 0 or 1, piece positions on the screen. Other bytes stay.
    void Sanitize();
    // Brings a piece's centre onto the screen (a position that is not a
    // number goes to the top-left corner).
    static void KeepOnScreen(JigsawPieceRecord& record);
    // Every record's identifiers match its index, whatever the file held.
    void RenumberPieces();

    uint32_t version = 0;
    uint32_t quorbsPopped = 0;
    uint32_t journeyLevelsWon = 0;
    uint32_t journeyLevelsLost = 0;
    uint32_t journeyLevelsUnlocked = 0;
    uint32_t superQuorbsCreated = 0;
    uint32_t highestCascade = 0;
    uint32_t grimbosBroken = 0;
    uint32_t journeysCompleted = 0;
    uint32_t bonusItemsCollected = 0;
    uint32_t casualGamesPlayed = 0;
    uint32_t speedGamesPlayed = 0;
    uint32_t highestCasualLevel = 0;
    uint32_t highestSpeedLevel = 0;
    uint32_t highestJourneyLevel = 0;
    uint32_t currentJigsaw = 0;                       // picture 0..2 shown on the jigsaw page
    JigsawPieceRecord pieces[kJigsawPieceCount] = {}; // picture x 20 + piece
    uint8_t tutorialShown[kTutorialPages] = {};       // 1 = page switched off
    uint8_t reserved[10] = {};
};
static_assert(sizeof(ProfileProgress) == 1284);
