// The journey map: generation, progress, screen and record.
#include "game/Map.h"
#include "app/IOBuffer.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"

Map::Map(QuorbSwapApp* app, Game* game) : app(app), game(game)
{
    // unbuilt
}

Map::~Map()
{
    // unbuilt
}

void Map::Update()
{
    // unbuilt
}

void Map::Draw()
{
    // unbuilt
}

void Map::Notify(Object* /*sender*/)
{
    // unbuilt
}

void Map::Generate()
{
    // unbuilt
}

void Map::OnMouseDown(int /*x*/, int /*y*/, int /*button*/)
{
    // unbuilt
}

void Map::OnMouseMove(int /*x*/, int /*y*/)
{
    // unbuilt
}

void Map::CompleteSquare(int /*x*/, int /*y*/, int /*delay*/)
{
    // unbuilt
}

void Map::QueueReveal(int /*x*/, int /*y*/, int /*delay*/)
{
    // unbuilt
}

void Map::MoveMarker(int /*x*/, int /*y*/, int /*tip*/)
{
    // unbuilt
}

void Map::PlaceMarkerAtStart()
{
    // unbuilt
}

void Map::OnPuzzleArrived()
{
    // unbuilt
}

void Map::OnBonusArrived()
{
    // unbuilt
}

void Map::Save(IOBuffer& /*buffer*/)
{
    // unbuilt
}

void Map::Load(IOBuffer& /*buffer*/)
{
    // unbuilt
}
