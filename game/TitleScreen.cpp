// The title screen with its loading bar and the way into the game.
#include "game/TitleScreen.h"

#include "app/Graphics.h"
#include "game/AddProfileDialog.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>

TitleScreen::TitleScreen(QuorbSwapApp* app) : app(app)
{
    name = "titlescreen";
    SetFullScreen();
    barFilled.Load("graphics\\loadingbarfilled");
    barEmpty.Load("graphics\\loadingbarempty");
    title.Load("graphics\\title");
    arrows.Load("graphics\\spinarrows");
    playArt.Load("graphics\\clicktoplay", 3);
    // Out of sight and out of reach until loading has ended.
    playButton.SetRect(-9999, -9999, 1, 1);
    app->titleScreen = this;
}

TitleScreen::~TitleScreen()
{
    RemoveChild(&playButton);
    if (app->titleScreen == this)
        app->titleScreen = nullptr;
}

void TitleScreen::Update()
{
    spinAngle += spinSpeed;
    spinSpeed = std::min(spinSpeed + 0.02f, 25.0f);
}

float TitleScreen::LoadFraction() const
{
    if (!app->loading)
        return 1.0f;
    // The total is unknown until the loader has set it; the bar never
    // passes full whatever the loaders count.
    int total = app->loadTotal;
    if (total <= 0)
        return 0.0f;
    return std::clamp(float(app->loadDone) / float(total), 0.0f, 1.0f);
}

void TitleScreen::Draw()
{
    title.Draw(0, 0);
    float p = LoadFraction();
    barEmpty.DrawPartialX(283, 348, 1.0f - p, -1);
    barFilled.DrawPartialX(283, 348, p, 1);
    arrows.DrawRotated(175, 287, spinAngle, 1.0f);
    Sprite* frame = playArt.GetFrame(playButton.GetFrame(false));
    if (frame != nullptr)
        frame->DrawCentered(playButton.rect.x + playButton.rect.w / 2,
                            playButton.rect.y + playButton.rect.h / 2);
}

void TitleScreen::OnLoadComplete()
{
    Sprite* first = playArt.GetFrame(0);
    playButton.SetRect(270, 318, first ? first->mWidth : 1, first ? first->mHeight : 1);
    playButton.SetListener(this, true);
}

void TitleScreen::Notify(Object* sender)
{
    if (sender != &playButton)
        return;
    if (app->profiles.GetCount() == 0) {
        AddProfileDialog dialog(&app->profiles);
    }
    // A quit during the dialog ends here: no profile "Nobody", no transition.
    if (app->IsQuitting())
        return;
    app->OnProfileChanged();
    app->GoToMainMenu(true);
}
