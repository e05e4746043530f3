// A tutorial page shown at the start of a level, with a demonstration board.
#include "game/Tutor.h"

#include "app/Graphics.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"

namespace {
constexpr int kFirstPage = 1;
constexpr int kLastPage = 9;
constexpr int kCasualPage = 8;
constexpr int kSpeedPage = 9;
constexpr int kGoGoldPage = 6;
constexpr int kSkullsPage = 2;

struct Picture {
    const char* name;
    float x;
    float y;
};

struct Page {
    const char* title;
    Picture pictures[3];
};

// Index = page number; page 0 is never shown.
const Page kPages[kLastPage + 1] = {
    {nullptr, {}},
    {"broms", {{"QuorbMeter_Brom", 31, 267}, {"NoMoreMoves", 456, 396}}},
    {"grimbo", {{"CrackSKulls", 31, 267}, {"Skullmeter_Grimbo", 577, 138}}},
    {"tuvos", {{"QuorbMeter_Tuvo", 31, 267}, {"Lose_Tuvo", 451, 396}}},
    {"pricklets", {{"matches", 39, 280}, {"Lose_Pricklet", 580, 187}}},
    {"pallowin", {{"collect", 29, 259}, {"Skullmeter_Pallowin", 577, 145}}},
    {"glowby", {{"gogold", 12, 289}, {"NoMoreMoves", 494, 385}}},
    {"qib", {{"duel", 41, 351}, {"lose_qib", 514, 347}}},
    {"casual", {{"QuorbMeter", 31, 267}, {"SkullMeter", 577, 138}, {"NoMoreMoves", 199, 468}}},
    {"speed", {{"QuorbMeter", 31, 267}, {"SkullMeter_Speed", 577, 138}, {"NoMoreMoves", 199, 468}}},
};

int PageFor(const Game& game, int current)
{
    switch (game.application->gameMode) {
    case GameMode::Casual:
        return kCasualPage;
    case GameMode::Speed:
        return kSpeedPage;
    default:
        break;
    }
    int type = int(game.levelType);
    if (type >= 0 && type <= int(LevelType::GoGold))
        return type + 1;
    if (game.levelType == LevelType::Duel)
        return 7;
    return current;
}
} // namespace

Tutor::Tutor(Game* owner) : application(owner->application), game(owner)
{
    game->Pause();
    SetFullScreen();
}

Tutor::~Tutor()
{
    // The buttons are members: they leave the child list before they go.
    RemoveChild(&okButton);
    RemoveChild(&dontShowButton);
    if (application->game == game && game) {
        game->Resume();
        // A later level may have opened a page of its own meanwhile.
        if (game->tutor == this)
            game->tutor = nullptr;
        // The demonstration board had rescaled the shared piece art; the
        // level may already be gone.
        if (game->board)
            game->board->PreparePieceArt();
    }
    if (demoBoard)
        demoBoard->Kill();
}

void Tutor::BuildPage()
{
    if (killed)
        return;
    page = PageFor(*game, page);
    // A page outside 1..9 (a level type the pages do not know) is not shown,
    // and its flag, which would lie in the jigsaw records, is never touched.
    if (page < kFirstPage || page > kLastPage || application->progress.tutorialShown[page]) {
        Kill();
        application->ResetTiming();
        return;
    }
    BuildDemoBoard();

    SpriteBundle* bundle = &application->bundleTutorial;
    background.LoadFromBundle(bundle, "tutorbackground");
    okStrip.LoadFromBundle(&application->bundleProfiles, "ok", 3);
    dontShowStrip.LoadFromBundle(bundle, "dontshow", 3);
    okButton.Setup(this, &okStrip, 673, 530, &application->sndClick, &application->sndHilite);
    dontShowButton.Setup(this, &dontShowStrip, 542, 530, &application->sndClick, &application->sndHilite);

    const Page& content = kPages[page];
    title.LoadFromBundle(bundle, content.title);
    for (int i = 0; i < 3 && content.pictures[i].name; ++i) {
        pictures[i].LoadFromBundle(bundle, content.pictures[i].name);
        picturePositions[i] = Point(content.pictures[i].x, content.pictures[i].y);
    }
    if (page == kSkullsPage) {
        demoBoard->skullCount = 2;
        demoBoard->PlaceSkulls();
    }
    AddChild(demoBoard);
    application->ResetTiming();
}

void Tutor::BuildDemoBoard()
{
    demoBoard = new Board(application, game);
    demoBoard->SetRect(215, 85, 370, 370);
    demoBoard->demoMode = true;
    demoBoard->hintButton.SetHitCircle(App::kNowhere, App::kNowhere, 1.0f);
    // A meter that never fills: the demonstration never completes.
    demoBoard->levelType = LevelType::Meter;
    demoBoard->meterValue = 0.0f;
    demoBoard->meterMax = 9999999.0f;
    demoBoard->kindCount = kPieceKinds;
    if (page == kGoGoldPage) {
        demoBoard->levelType = LevelType::GoGold;
        demoBoard->markThreshold = 1.0f;
    }
    demoBoard->SetSize(4, 4);
    demoBoard->FillInitial(nullptr);
    demoBoard->BuildFrame();
    demoBoard->CoreMouseExit();
    demoBoard->disabled = true;
    demoBoard->demoTimer = 100;
    demoBoard->demoPhase = 0;
}

void Tutor::Draw()
{
    theGraphics.SetColorWhite();
    background.Draw(0, 0);
    title.Draw(float(kScreenWidth / 2 - title.mWidth / 2), 55);
}

void Tutor::DrawAfterChildren()
{
    theGraphics.SetColorWhite();
    for (int i = 0; i < 10 && pictures[i].mLoaded; ++i)
        pictures[i].Draw(picturePositions[i].x, picturePositions[i].y);
}

void Tutor::Notify(Object* sender)
{
    if (sender == &dontShowButton) {
        application->progress.tutorialShown[page] = 1;
        application->SaveConfig();
    }
    if (sender == &dontShowButton || sender == &okButton)
        Kill();
}
