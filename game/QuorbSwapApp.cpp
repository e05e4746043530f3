// The game application: start-up, asset loading, progress block and screen switching.
#include "game/QuorbSwapApp.h"

QuorbSwapApp* theQuorbSwapApp = nullptr;

QuorbSwapApp::QuorbSwapApp()
{
    // unbuilt
}

QuorbSwapApp::~QuorbSwapApp()
{
    // unbuilt
}

void QuorbSwapApp::PostDraw()
{
    // unbuilt
}

void QuorbSwapApp::Initialize()
{
    // unbuilt
}

void QuorbSwapApp::SetActive(bool /*active*/)
{
    // unbuilt
}

void QuorbSwapApp::Load()
{
    // unbuilt
}

void QuorbSwapApp::LoadComplete()
{
    // unbuilt
}

void QuorbSwapApp::LoadConfig()
{
    // unbuilt
}

void QuorbSwapApp::SaveConfig()
{
    // unbuilt
}

void QuorbSwapApp::OnProfileChanged()
{
    // unbuilt
}

void QuorbSwapApp::CloseAllScreens()
{
    // unbuilt
}

void QuorbSwapApp::GoToMainMenu(bool /*withTransition*/)
{
    // unbuilt
}

void QuorbSwapApp::GoToGame(bool /*withTransition*/)
{
    // unbuilt
}

void QuorbSwapApp::GoToPuzzler(bool /*withTransition*/)
{
    // unbuilt
}

void QuorbSwapApp::TogglePuzzlerOverGame(bool /*withTransition*/)
{
    // unbuilt
}
