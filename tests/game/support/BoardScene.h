#pragma once
// A board in the middle of a game with the art it draws: shared by the
// drawing tests and the frame benchmark.

#include "game/Board.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace BoardScene {

// Links the program folder's asset folders into the current folder, so the
// game's relative names resolve while settings stay elsewhere.
void LinkAssetFolders(const std::filesystem::path& programFolder);

// Loads the fonts, gameplay art and piece pictures a board draws (the
// graphics device must be started).
void LoadBoardArt(QuorbSwapApp& app);

// A seeded 12 x 10 board played until a match cascades: pieces popping and
// falling, a score popup and particles in the air, the hint shown, the
// level meter and the pressure meter showing. The same every time.
std::unique_ptr<Board> MakeMidGameBoard(QuorbSwapApp& app, Game* game);

// One whole frame: the background, the board and, when given, an overlay
// over it.
void DrawFrame(Board& board, Object* overlay = nullptr);

// One whole frame of a screen and its children, as the application draws it.
void DrawScreen(Gadget& screen);

// One frame of a gadget and its children alone, over black.
void DrawOverBlack(Gadget& gadget);

// How far the frame's edge art, loaded, reaches in over the grid's edge.
float FrameReach(QuorbSwapApp& app);

// The box, in the game's 800 x 600 units, round the pixels that differ
// plainly between the frames the two calls draw (read back through the
// graphics device's screenshot, into the current folder). Empty (a negative
// size) when none do.
Rect DifferenceBox(const std::function<void()>& drawFirst, const std::function<void()>& drawSecond);

} // namespace BoardScene
