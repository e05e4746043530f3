// Board construction, destruction, buttons and small queries.
#include "game/Board.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"

Board::Board(QuorbSwapApp* app, Game* game) : app(app), game(game)
{
    // unbuilt
}

Board::~Board()
{
    // unbuilt
}

void Board::Initialize()
{
    // unbuilt
}

void Board::Notify(Object* /*sender*/)
{
    // unbuilt
}

bool Board::IsCellEnabled(int /*x*/, int /*y*/) const
{
    // unbuilt
    return {};
}

void Board::PieceMoveDone()
{
    // unbuilt
}

bool Board::IsPlaying() const
{
    // unbuilt
    return {};
}
