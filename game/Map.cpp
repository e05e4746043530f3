// The journey map gadget: construction, art, buttons, hover and tooltip.
#include "game/Map.h"
#include "app/Sound.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"

namespace {

constexpr int kTooltipDelay = 10;

} // namespace

Map::Map(QuorbSwapApp* app, Game* game) : app(app), game(game)
{
    if (app != nullptr)
        progress = &app->progress;
    LoadArt();
    // Blue for easy squares, violet for hard ones.
    difficultyColors.AddColor(0.0f, 0.25f, 0.75f, 1.0f, 1.0f);
    difficultyColors.AddColor(0.5f, 0.0f, 0.75f, 1.0f, 1.0f);
    difficultyColors.CloseLoop();
    SetUpButton(menuButton, 705.0f, 358.0f);
    SetUpButton(puzzleButton, 705.0f, 448.0f);
    SetFullScreen();
}

Map::~Map()
{
    revealQueue.clear();
    items.DeleteAll();
    // The buttons are members: they must leave the child list before they go.
    RemoveChild(&menuButton);
    RemoveChild(&puzzleButton);
}

void Map::LoadArt()
{
    if (app == nullptr)
        return;
    SpriteBundle* bundle = &app->bundleMap;
    struct Named {
        Sprite* sprite;
        const char* name;
    };
    const Named named[] = {
        {&sprBackground, "background"},   {&sprGridSquareLocked, "gridsquare_locked"},
        {&sprGoal, "goal"},               {&sprStart, "start"},
        {&sprWonLevel, "wonlevel"},       {&sprCaptions[9], "caption9"},
        {&sprCaptions[10], "caption10"},  {&sprCaptions[11], "captiongoal"},
        {&sprDifficultyCaption, "difficultycaption"},
        {&sprTipArrow, "tiparrow"},       {&sprLock, "lock"},
        {&sprBonusCoin, "bonuscoin"},     {&sprMenu, "menu"},
        {&sprMenuHilite, "menu_hilite"},  {&sprPuzzle, "puzzle"},
        {&sprPuzzleHilite, "puzzle_hilite"},
    };
    for (const Named& n : named)
        n.sprite->LoadFromBundle(bundle, n.name);
    for (int i = 0; i < 8; ++i)
        sprCaptions[i].LoadFromBundle(bundle, String::StringFormat("caption%d", i));
    for (int i = 0; i < 7; ++i)
        sprBonusCaptions[i].LoadFromBundle(bundle, String::StringFormat("bcaption%d", i));
    for (int i = 0; i < 5; ++i)
        sprDifficultyPips[i].LoadFromBundle(bundle, String::StringFormat("diff%d", i + 1));
    for (int i = 0; i < 2; ++i)
        sprTips[i].LoadFromBundle(bundle, String::StringFormat("tip%d", i + 1));
    stripGameIcon.LoadFromBundle(bundle, "gameicon", 8);
    stripBonusCoins.LoadFromBundle(bundle, "bonuscoins", 7);
}

void Map::SetUpButton(Button& button, float x, float y)
{
    button.SetRect(x, y, 80.0f, 80.0f);
    button.hitMode = HitCircle;
    button.hitRadius = 40.0f;
    button.SetHoverSound(AppSound(&QuorbSwapApp::sndHilite));
    button.SetClickSound(AppSound(&QuorbSwapApp::sndClick));
    button.SetListener(this, true);
}

Sound* Map::AppSound(Sound QuorbSwapApp::*member) const
{
    return app != nullptr ? &(app->*member) : nullptr;
}

void Map::PlaySound(Sound* sound, float pitch) const
{
    if (sound != nullptr)
        sound->PlayPitched(pitch, 1.0f);
}

Sprite* Map::PieceSprite(int picture, int piece) const
{
    if (app == nullptr)
        return nullptr;
    return &app->jigsawPieceSprites[picture * kJigsawPiecesPerPicture + piece];
}

void Map::Notify(Object* sender)
{
    if (sender == &menuButton && game != nullptr)
        game->OpenPopupMenu();
    else if (sender == &puzzleButton && app != nullptr)
        app->TogglePuzzlerOverGame(true);
}

void Map::ResetTooltip()
{
    tooltipTimer = 0;
    tooltipAlpha = 0.0f;
    tooltipCaption = nullptr;
}

// A square counts as hovered only while the pointer is over it, and the map
// learns that from the pointer's next move: not from a save, nor from where
// the pointer was when a level began.
void Map::ForgetHover()
{
    hoverX = hoverY = previousHoverX = previousHoverY = -1;
    ResetTooltip();
}

void Map::OnMouseMove(int x, int y)
{
    if ((app != nullptr && app->transition != nullptr) || !revealQueue.empty() || JourneyEnding()) {
        ResetTooltip();
        return;
    }
    previousHoverX = hoverX;
    previousHoverY = hoverY;
    hoverX = -1;
    hoverY = -1;
    bool hand = false;
    const float px = float(x);
    const float py = float(y);
    if (px >= kHoverLeft && py >= kHoverTop && px < kHoverLeft + kHoverWidth && py < kHoverTop + kHoverHeight) {
        for (int c = 0; c < kMapSize && !hand; ++c)
            for (int r = 0; r < kMapSize && !hand; ++r) {
                const float left = kHoverLeft + kColumnPitch * float(c);
                const float top = kHoverTop + kRowPitch * float(r);
                if (Square(c, r).won || px <= left || px >= left + kColumnPitch || py <= top ||
                    py >= top + kRowPitch)
                    continue;
                hoverX = c;
                hoverY = r;
                hand = !Square(c, r).locked;
            }
    }
    if (hand)
        SetHandCursor();
    else
        SetArrowCursor();
    if (hoverX != previousHoverX || hoverY != previousHoverY) {
        ResetTooltip();
        if (hoverX >= 0) {
            if (Square(hoverX, hoverY).locked)
                PlaySound(AppSound(&QuorbSwapApp::sndHiliteLevel), 0.5f + 0.05f * float(hoverX + hoverY));
            else
                PlaySound(AppSound(&QuorbSwapApp::sndHilite), 1.25f);
        }
    }
    if (hoverX < 0)
        ResetTooltip();
}

void Map::UpdateTooltip()
{
    if (hoverX < 0 || hoverY < 0) {
        tooltipCaption = nullptr;
        return;
    }
    const MapSquare& square = Square(hoverX, hoverY);
    if (square.locked && square.type <= 8 && !square.isGoal)
        return;
    ++tooltipTimer;
    if (tooltipTimer > kTooltipDelay) {
        tooltipAlpha = std::min(tooltipAlpha + 0.1f, 1.0f);
        return;
    }
    if (tooltipTimer < kTooltipDelay)
        return;
    tooltipDifficulty = -1.0f;
    Point mouse = app != nullptr ? app->mousePosition : Point();
    tooltipX = mouse.x + 25.0f;
    tooltipY = mouse.y + 25.0f;
    tooltipCaption = &sprCaptions[square.type];
    if (square.type < 8 && game != nullptr)
        tooltipDifficulty = square.difficulty * game->difficultyModifiers[square.type];
    if (square.type == kBonusSquare && !square.locked)
        tooltipCaption = &sprBonusCaptions[square.item];
    if (square.isGoal) {
        tooltipCaption = &sprCaptions[11];
        tooltipDifficulty = -1.0f;
    }
    // Open towards the middle of the screen.
    if (tooltipX > 400.0f)
        tooltipX -= float(tooltipCaption->mWidth) + 50.0f;
    if (tooltipY > 300.0f)
        tooltipY -= float(tooltipCaption->mHeight) + 50.0f;
    tooltipAlpha = 0.0f;
}
