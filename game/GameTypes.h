#pragma once
// Enumerations and constants that several game classes share.

#include <cstdint>

// The kind of a level; also the type of a journey map square (0..7).
enum class LevelType : int32_t {
    Meter = 0,
    Skulls = 1,
    Drain = 2,
    Matches = 3,
    Collect = 4,
    GoGold = 5,
    Surprise = 6, // redrawn before it is played
    Duel = 7,
};

// Journey map squares that are not levels.
constexpr int32_t kJigsawSquare = 9;
constexpr int32_t kBonusSquare = 10;

enum class GameMode : int32_t { Journey = 0, Casual = 1, Speed = 2 };

enum class Difficulty : int32_t { Child = 0, Normal = 1, Hard = 2 };

// Bonus items held in a game's power slots; an empty slot holds kNoPower.
enum class PowerKind : int32_t {
    DoubleScore = 0,
    TripleScore = 1,
    Points5000 = 2,
    Points10000 = 3,
    SkipLevel = 4,
    Hint = 5,
    ExtraPieces = 6,
};
constexpr int32_t kNoPower = -1;
constexpr int kPowerSlotCount = 10;

enum class LoseReason : int32_t { MeterDrained = 0, NoMoves = 1, OutOfTime = 2, OpponentWon = 3 };

// Where a Transition leads at its midpoint.
enum class TransitionTarget : int32_t { MainMenu, Game, Puzzler, PuzzlerOverGame, StartLevel, ShowMap };

// A Matches level's stopwatch: 30 seconds of play.
constexpr int32_t kMatchesTicks = 3000;

// The game's logical screen.
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

// Piece art: kinds 0..7 and the skull in slot 8, up to three variants each.
constexpr int kPieceKinds = 8;
constexpr int kSkullArtSlot = 8;
constexpr int kPieceArtSlots = 9;
constexpr int kPieceVariants = 3;
constexpr int kPieceArtCount = kPieceArtSlots * kPieceVariants;

// Jigsaw pictures and their pieces.
constexpr int kJigsawPictures = 3;
constexpr int kJigsawPiecesPerPicture = 20;
constexpr int kJigsawPieceCount = kJigsawPictures * kJigsawPiecesPerPicture;

// Tutorial pages 1..9 (index 0 unused).
constexpr int kTutorialPages = 10;

// Journey map: 9 x 9 squares, index 9 x + y.
constexpr int kMapSize = 9;
constexpr int kMapSquareCount = kMapSize * kMapSize;
// The journey's best level time before any level has been won.
constexpr int32_t kNoBestTime = 999999;

// Entries of each high-score table.
constexpr int kHighScoreEntries = 5;
