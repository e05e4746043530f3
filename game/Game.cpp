// The play session: levels, map, power slots and saved games.
#include "game/Game.h"
#include "game/QuorbSwapApp.h"

Game::Game(QuorbSwapApp* app) : application(app)
{
    // unbuilt
}

Game::~Game()
{
    // unbuilt
}

void Game::Draw()
{
    // unbuilt
}

void Game::Kill()
{
    // unbuilt
}

void Game::Initialize()
{
    // unbuilt
}

void Game::StartLevel(bool /*withTransition*/)
{
    // unbuilt
}

void Game::ShowMap(bool /*withTransition*/)
{
    // unbuilt
}

void Game::OnLevelWon()
{
    // unbuilt
}

void Game::OnLevelLost()
{
    // unbuilt
}

int Game::ScoreMultiplier(int /*points*/)
{
    // unbuilt
    return {};
}

int Game::CountPowerSlots(int /*kind*/) const
{
    // unbuilt
    return {};
}

void Game::SetPaused(int /*mode*/)
{
    // unbuilt
}

void Game::OpenPopupMenu()
{
    // unbuilt
}

void Game::OnKey(int /*character*/)
{
    // unbuilt
}

void Game::Save()
{
    // unbuilt
}

void Game::Load()
{
    // unbuilt
}

void Game::DeleteSave()
{
    // unbuilt
}
