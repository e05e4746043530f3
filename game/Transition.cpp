// The spinning piece that covers a screen switch.
#include "game/Transition.h"

#include "app/Graphics.h"
#include "app/Random.h"
#include "game/Game.h"
#include "game/Puzzler.h"
#include "game/QuorbSwapApp.h"

namespace {
constexpr float kSwitchScale = 7.0f;
} // namespace

Transition::Transition(QuorbSwapApp* app, TransitionTarget target) : app(app), target(target)
{
    kind = theRandom->Get(kPieceKinds);
    float base = float(theRandom->RandomSign(2));
    spin = base + theRandom->GetFloatScaled(0.25f, true);
    app->rootObjects.Add(this);
    app->transition = this;
    if (app->specialTransition) {
        kind = kSkullArtSlot;
        app->sndQuorbSoundSkull.Play(1.0f);
        app->specialTransition = false;
    } else {
        app->sndQuorbSound.Play(1.0f);
    }
}

Transition::~Transition()
{
    app->rootObjects.Remove(this);
    // A newer transition may hold the slot by now.
    if (app->transition == this)
        app->transition = nullptr;
}

void Transition::Update()
{
    if (growing) {
        scale = (scale + 0.01f) * 1.1f;
        angle = angle - spin / 5.0f;
        if (scale > kSwitchScale) {
            SwitchScreen();
            flash = 1.0f;
            growing = false;
        }
        return;
    }
    flash = flash - 0.05f;
    if (flash < 0.0f)
        flash = 0.0f;
    scale = scale * 0.99f - 0.1f;
    angle = angle + spin;
    if (scale <= 0.0f)
        Kill();
}

void Transition::Draw()
{
    if (scale <= 0.0f)
        return;
    Sprite& piece = app->pieceSprites[kind * kPieceVariants];
    theGraphics.SetColor(0.0f, 0.0f, 0.0f, 1.0f);
    piece.DrawRotated(400, 300, angle, scale * 1.08f);
    theGraphics.SetColorWhite();
    piece.DrawRotated(400, 300, angle, scale);
    if (flash > 0.0f) {
        theGraphics.SetWhiteAlpha(flash);
        theGraphics.FillRect(0, 0, kScreenWidth, kScreenHeight);
        theGraphics.SetColorWhite();
    }
}

void Transition::SwitchScreen()
{
    switch (target) {
    case TransitionTarget::MainMenu:
        app->CloseAllScreens();
        app->GoToMainMenu(false);
        break;
    case TransitionTarget::Game:
        app->CloseAllScreens();
        app->GoToGame(false);
        break;
    case TransitionTarget::StartLevel:
        if (app->game != nullptr)
            app->game->StartLevel(false);
        break;
    case TransitionTarget::ShowMap:
        if (app->game != nullptr)
            app->game->ShowMap(false);
        break;
    case TransitionTarget::PuzzlerOverGame:
        if (app->puzzler != nullptr) {
            app->puzzler->Kill();
            app->puzzler = nullptr;
        } else {
            app->TogglePuzzlerOverGame(false);
        }
        break;
    case TransitionTarget::Puzzler:
        app->CloseAllScreens();
        app->GoToPuzzler(false);
        break;
    }
}
