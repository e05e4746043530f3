// The final win screen of a completed journey.
#include "game/SuperWin.h"

#include "app/Graphics.h"
#include "app/Matrix.h"
#include "app/SoundInstance.h"
#include "game/EnterYourName.h"
#include "game/Fireworks.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>

namespace {
constexpr float kMaxDim = 0.75f;
constexpr float kIntroScale = 1.25f;
constexpr float kBannerOffset = 90.0f;
} // namespace

SuperWin::SuperWin(Game* owner) : game(owner), application(owner->application)
{
    SetFullScreen();
    topBanner.LoadFromBundle(&application->bundleMap, "win1");
    bottomBanner.LoadFromBundle(&application->bundleMap, "win2");
    spark.LoadFromBundle(&application->bundleMap, "firework");
    game->DeleteSave();
    ++application->progress.journeysCompleted;
    jingleVoice = application->sndQuorbWin.NextInstance();
    if (jingleVoice)
        jingleVoice->Play(1.0f);
}

SuperWin::~SuperWin()
{
    particles.DeleteAll();
    if (!application->IsQuitting() && jingleVoice)
        jingleVoice->Stop();
}

void SuperWin::Update()
{
    // Without a sound device there is no voice: the jingle counts as over.
    if (jinglePlaying && (jingleVoice == nullptr || !jingleVoice->IsPlaying()))
        EnterHighScore();
    dim = std::min(dim + 0.01f, kMaxDim);
    flash.Update();
    if (intro) {
        scale = std::min(scale + 0.05f, kIntroScale);
        if (scale >= kIntroScale) {
            scale = 1.0f;
            intro = 0;
            SpawnFireworks(kScreenWidth / 2, kScreenHeight / 2);
        }
    } else if (--ticksToBurst <= 0) {
        SpawnFireworks(-1.0f, -1.0f);
    }
    particles.Update();
}

void SuperWin::SpawnFireworks(float x, float y)
{
    flash.Raise();
    ticksToBurst = Fireworks::Burst(particles, &spark, &application->sndFirework, x, y, 40, 5);
}

void SuperWin::Draw()
{
    theGraphics.SetColor(0.0f, 0.0f, 0.25f, dim);
    theGraphics.FillRect(0, 0, kScreenWidth, kScreenHeight);
    theGraphics.SetColorWhite();
    particles.Draw();
    for (int i = 0; i < 2; ++i) {
        Matrix m;
        m.Translate2D(0.0f, i == 0 ? -kBannerOffset : kBannerOffset);
        m.Scale(scale, scale, scale);
        m.Translate2D(kScreenWidth / 2, kScreenHeight / 2);
        (i == 0 ? topBanner : bottomBanner).DrawMatrix(m);
    }
    theGraphics.SetColor(1.0f, 1.0f, 1.0f, flash.alpha);
    theGraphics.FillRect(0, 0, kScreenWidth, kScreenHeight);
    theGraphics.SetColorWhite();
    if (clickEnabled)
        application->fontArialBlack23.DrawCentered("CLICK TO CONTINUE", kScreenWidth / 2, 550);
}

void SuperWin::EnterHighScore()
{
    jinglePlaying = 0;
    if (application->journeyScores.Qualifies(game->score))
        EnterYourName::EnterHighScore(application, application->journeyScores, game->score);
    clickEnabled = 1;
}

void SuperWin::OnMouseDown(int /*x*/, int /*y*/, int /*button*/)
{
    if (jinglePlaying) {
        EnterHighScore();
    } else if (clickEnabled) {
        // One click leaves: a second would start a second transition.
        clickEnabled = 0;
        application->GoToPuzzler(true);
    }
}
