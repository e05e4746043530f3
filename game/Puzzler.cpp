// The jigsaw and records screen.
#include "game/Puzzler.h"

#include "app/Graphics.h"
#include "app/ParseXML.h"
#include "game/ProfileProgress.h"
#include "game/QuorbSwapApp.h"
#include "game/Transition.h"

#include <cmath>

namespace {
constexpr float kPageWidth = 800.0f;
constexpr float kRingLength = 2400.0f;
constexpr int kStepsPerTick = 25;
constexpr float kLockDistance = 20.0f;
constexpr float kPictureX = ProfileProgress::kPictureX;
constexpr float kPictureY = ProfileProgress::kPictureY;

enum PageIndex
{
    kJigsawPage,
    kStatisticsPage,
    kHighScorePage
};

enum SpriteIndex
{
    kBackground,
    kPuzzleOverlay,
    kPuzzleTitle,
    kHighScoreOverlay,
    kHighScoreTitle,
    kStatsTitle,
    kTinyScores,
    kTinyPuzzle,
    kTinyStats
};

const char* const kStripNames[] = {"mainmenu", "scrollleft", "scrollright", "nextpuzzle", "previouspuzzle",
                                   "backtogame"};
const char* const kSpriteNames[] = {"background",     "puzzleoverlay", "puzzletitle", "highscoreoverlay",
                                    "highscoretitle", "statstitle",    "tiny_scores", "tiny_puzzle",
                                    "tiny_stats"};
// The small picture of each page, by page index.
constexpr SpriteIndex kTinyOfPage[] = {kTinyPuzzle, kTinyStats, kTinyScores};

struct Statistic
{
    const char* label;
    uint32_t ProfileProgress::*counter;
};

constexpr Statistic kStatistics[Puzzler::kStatisticRows] = {
    {"Quorbs Popped:", &ProfileProgress::quorbsPopped},
    {"Journey Levels Unlocked:", &ProfileProgress::journeyLevelsUnlocked},
    {"Journey Levels Lost:", &ProfileProgress::journeyLevelsLost},
    {"Journey Levels Won:", &ProfileProgress::journeyLevelsWon},
    {"Journeys Completed:", &ProfileProgress::journeysCompleted},
    {"Super Quorbs Created:", &ProfileProgress::superQuorbsCreated},
    {"Highest Cascade:", &ProfileProgress::highestCascade},
    {"Grimbos Broken:", &ProfileProgress::grimbosBroken},
    {"Bonus Items Collected:", &ProfileProgress::bonusItemsCollected},
    {"Casual Games Played:", &ProfileProgress::casualGamesPlayed},
    {"Speed Games Played:", &ProfileProgress::speedGamesPlayed},
    {"Highest Casual Level Reached:", &ProfileProgress::highestCasualLevel},
    {"Highest Speed Level Reached:", &ProfileProgress::highestSpeedLevel},
    {"Highest Journey Level Reached:", &ProfileProgress::highestJourneyLevel},
};

struct ScoreTable
{
    const char* heading;
    HighScoreList QuorbSwapApp::*list;
    float headingX;
    float headingY;
    float headingColorY; // the height whose row colour the heading takes
    float firstRowY;
    float nameX;
    float scoreRight;
};

constexpr ScoreTable kScoreTables[] = {
    {"CASUAL GAME", &QuorbSwapApp::casualScores, 240, 150, 240, 190, 100, 380},
    {"SPEED GAME", &QuorbSwapApp::speedScores, 560, 150, 240, 190, 420, 700},
    {"JOURNEY GAME", &QuorbSwapApp::journeyScores, 400, 340, 340, 380, 250, 550},
};

// Back into the ring's window -800 (inclusive) to 1600 (exclusive).
float IntoRing(float offset)
{
    if (offset < -kPageWidth)
        offset += kRingLength;
    else if (offset >= 2 * kPageWidth)
        offset -= kRingLength;
    return offset;
}

JigsawPieceRecord* RecordAt(const List& list, int index)
{
    return static_cast<JigsawPieceRecord*>(list.Get(index));
}
} // namespace

Puzzler::Puzzler(QuorbSwapApp* app) : application(app)
{
    name = "puzzler";
    SetFullScreen();
    colorCycle.AddColor(1, 0, 0, 1, 1);
    colorCycle.AddColor(1, 0.5f, 0, 1, 1);
    colorCycle.AddColor(1, 1, 0, 1, 1);
    colorCycle.AddColor(0, 1, 0, 1, 1);
    colorCycle.AddColor(0, 0, 1, 1, 1);
    colorCycle.AddColor(1, 0, 1, 1, 1);
    colorCycle.CloseLoop();
    pageOffsets[kJigsawPage] = 0;
    pageOffsets[kStatisticsPage] = kPageWidth;
    pageOffsets[kHighScorePage] = -kPageWidth;

    for (int i = 0; i < 6; ++i)
        strips[i].LoadFromBundle(&app->bundleStats, kStripNames[i], 3);
    for (int i = 0; i < 9; ++i)
        sprites[i].LoadFromBundle(&app->bundleStats, kSpriteNames[i]);

    const bool overGame = app->game != nullptr;
    Sound* click = &app->sndClick;
    Sound* hover = &app->sndHilite;
    menuButton.Setup(this, &strips[overGame ? 5 : 0], 293, 521, click, hover);
    scrollLeftButton.Setup(this, &strips[1], overGame ? -224 : 89, overGame ? -523 : 522, click, hover);
    scrollRightButton.Setup(this, &strips[2], overGame ? -516 : 525, overGame ? -523 : 522, click, hover);
    nextPictureButton.Setup(this, &strips[3], 653, 235, click, hover);
    previousPictureButton.Setup(this, &strips[4], 17, 235, click, hover);

    BuildJigsaw();

    if (!overGame) {
        pageSpeed = 1;
        pageRemaining = kPageWidth;
        SlidePages(static_cast<int>(pageRemaining));
    }
}

Puzzler::~Puzzler()
{
    // The buttons are members: take them out of the child list before they go.
    for (Button* button :
         {&menuButton, &scrollLeftButton, &scrollRightButton, &nextPictureButton, &previousPictureButton})
        RemoveChild(button);
}

void Puzzler::BuildJigsaw()
{
    ProfileProgress& progress = application->progress;
    // Positions and the picture index come from a file: never trust them.
    progress.Sanitize();
    const float start[kJigsawPictures] = {0, kPageWidth, -kPageWidth};
    for (int p = 0; p < kJigsawPictures; ++p)
        pictureOffsets[p] = IntoRing(start[p] - kPageWidth * static_cast<float>(progress.currentJigsaw));
    pictureRemaining = 0;

    for (int p = 0; p < kJigsawPictures; ++p) {
        List& list = ownedPieces[p];
        for (int i = 0; i < kJigsawPiecesPerPicture; ++i) {
            JigsawPieceRecord& record = progress.pieces[p * kJigsawPiecesPerPicture + i];
            record.pieceId = i;
            record.puzzleId = p;
            if (record.owned)
                list.Add(&record);
        }
        // Placed pieces first, drawn under the loose ones.
        for (int k = 0; k < list.Count(); ++k) {
            JigsawPieceRecord* record = RecordAt(list, k);
            if (record->placed) {
                list.RemoveAt(k);
                list.Insert(record, 0);
            }
        }
        LoadPieceHomes(p);
        complete[p] = IsComplete(p);
    }
}

void Puzzler::LoadPieceHomes(int picture)
{
    const PieceCorners corners =
        ReadPieceCorners(String::StringFormat("graphics\\jigsaws\\puzzle%d\\info.cfg", picture + 1));
    for (int piece = 0; piece < kJigsawPiecesPerPicture; ++piece) {
        const std::optional<Point>& corner = corners[size_t(piece)];
        if (!corner)
            continue;
        const int index = picture * kJigsawPiecesPerPicture + piece;
        const Sprite& sprite = application->jigsawPieceSprites[index];
        pieceTargets[index] = Point(corner->x + static_cast<float>(sprite.mWidth / 2),
                                    corner->y + static_cast<float>(sprite.mHeight / 2));
    }
}

Puzzler::PieceCorners Puzzler::ReadPieceCorners(const String& path)
{
    PieceCorners corners;
    ParseXML file;
    file.OpenFile(path);
    // Tags past the picture's last piece have no home to fill.
    size_t piece = 0;
    for (ParseXMLTag tag = file.NextTag(); !tag.empty && piece < corners.size(); tag = file.NextTag()) {
        if (!(tag.name == "PIECE"))
            continue;
        ParseXML inner;
        inner.SetText(tag.content.CStr());
        for (ParseXMLTag field = inner.NextTag(); !field.empty; field = inner.NextTag()) {
            if (!(field.name == "POS"))
                continue;
            float x = 0;
            float y = 0;
            field.content.GetTwoNumbers(x, y);
            corners[piece] = Point(x, y);
            break;
        }
        ++piece;
    }
    return corners;
}

bool Puzzler::IsComplete(int picture) const
{
    const List& list = ownedPieces[picture];
    if (list.Count() < kJigsawPiecesPerPicture)
        return false;
    for (int k = 0; k < list.Count(); ++k)
        if (!RecordAt(list, k)->placed)
            return false;
    return true;
}

void Puzzler::Update()
{
    const float cycleLength = static_cast<float>(colorCycle.keys.size() - 1);
    cycleTime += 0.01f;
    if (cycleTime >= cycleLength)
        cycleTime -= cycleLength;

    for (int step = 0; step < kStepsPerTick && pictureRemaining > 0; ++step) {
        pictureRemaining -= 1;
        for (float& offset : pictureOffsets)
            offset = IntoRing(offset + pictureSpeed);
    }
    SlidePages(kStepsPerTick);
}

void Puzzler::SlidePages(int steps)
{
    for (int step = 0; step < steps && pageRemaining > 0; ++step) {
        pageRemaining -= 1;
        // The picture buttons ride on the jigsaw page.
        const float before = pageOffsets[kJigsawPage];
        const float after = IntoRing(before + pageSpeed);
        for (Button* button : {&nextPictureButton, &previousPictureButton})
            button->rect.x += after - before;
        pageOffsets[kJigsawPage] = after;
        pageOffsets[kStatisticsPage] = IntoRing(pageOffsets[kStatisticsPage] + pageSpeed);
        pageOffsets[kHighScorePage] = IntoRing(pageOffsets[kHighScorePage] + pageSpeed);
    }
}

void Puzzler::Notify(Object* sender)
{
    // A switch under way closes this screen at its midpoint: a click before
    // then (the second of a double click) must not start a second switch.
    // Once the screen is shown, clicks count while the switch fades out.
    if (application->transition != nullptr && application->transition->growing)
        return;
    ProfileProgress& progress = application->progress;
    const uint32_t current = progress.currentJigsaw % kJigsawPictures;
    if (sender == &menuButton) {
        if (application->game != nullptr)
            application->TogglePuzzlerOverGame(true);
        else
            application->GoToMainMenu(true);
    } else if (sender == &scrollLeftButton) {
        pageSpeed = 1;
        pageRemaining = kPageWidth;
    } else if (sender == &scrollRightButton) {
        pageSpeed = -1;
        pageRemaining = kPageWidth;
    } else if (sender == &nextPictureButton) {
        pictureSpeed = -1;
        pictureRemaining = kPageWidth;
        progress.currentJigsaw = (current + 1) % kJigsawPictures;
    } else if (sender == &previousPictureButton) {
        pictureSpeed = 1;
        pictureRemaining = kPageWidth;
        progress.currentJigsaw = (current + kJigsawPictures - 1) % kJigsawPictures;
    }
}

// The piece is the one the press began on: a quick first motion step may
// already have left it.
void Puzzler::DragStart(int, int)
{
    const int x = static_cast<int>(pressPoint.x);
    const int y = static_cast<int>(pressPoint.y);
    draggedPiece = nullptr;
    if (pageOffsets[kJigsawPage] != 0)
        return;
    int picture = 0;
    while (picture < kJigsawPictures && pictureOffsets[picture] != 0)
        ++picture;
    if (picture == kJigsawPictures)
        return;
    const int px = x - static_cast<int>(kPictureX);
    const int py = y - static_cast<int>(kPictureY);
    List& list = ownedPieces[picture];
    // The last hit in list order is the piece drawn on top.
    for (int k = 0; k < list.Count(); ++k) {
        JigsawPieceRecord* record = RecordAt(list, k);
        if (!record->owned || record->placed)
            continue;
        Sprite& sprite = application->jigsawPieceSprites[picture * kJigsawPiecesPerPicture + record->pieceId];
        const int rx = static_cast<int>(record->x);
        const int ry = static_cast<int>(record->y);
        if (sprite.GetAlphaAt(px + sprite.mWidth / 2 - rx, py + sprite.mHeight / 2 - ry) != 0) {
            draggedPiece = record;
            grabOffset = Point(static_cast<float>(px - rx), static_cast<float>(py - ry));
        }
    }
    if (draggedPiece == nullptr)
        return;
    draggedPicture = picture;
    list.Remove(draggedPiece);
    list.Add(draggedPiece);
}

void Puzzler::MoveDragged(int x, int y)
{
    draggedPiece->x = static_cast<float>(x) - grabOffset.x - kPictureX;
    draggedPiece->y = static_cast<float>(y) - grabOffset.y - kPictureY;
}

void Puzzler::Drag(int x, int y)
{
    if (draggedPiece != nullptr)
        MoveDragged(x, y);
}

// The dragged piece stays the dragged piece until the next drag starts.
void Puzzler::DragEnd(int x, int y)
{
    if (draggedPiece == nullptr)
        return;
    // A release off the screen (the window lost the focus mid-drag) leaves
    // the piece where it was last dragged; either way it stays on the
    // screen, where it can be taken again.
    if (x >= 0 && x < kScreenWidth && y >= 0 && y < kScreenHeight)
        MoveDragged(x, y);
    JigsawPieceRecord* piece = draggedPiece;
    ProfileProgress::KeepOnScreen(*piece);
    const Point& home = pieceTargets[draggedPicture * kJigsawPiecesPerPicture + piece->pieceId];
    if (std::hypot(piece->x - home.x, piece->y - home.y) >= kLockDistance)
        return;
    piece->x = home.x;
    piece->y = home.y;
    piece->placed = 1;
    List& list = ownedPieces[draggedPicture];
    list.Remove(piece);
    list.Insert(piece, 0);
    application->sndBloop.Play(1.0f);
    if (IsComplete(draggedPicture)) {
        complete[draggedPicture] = true;
        application->sndBell.Play(1.0f);
    }
}

void Puzzler::Draw()
{
    theGraphics.SetColorWhite();
    sprites[kBackground].Draw(0, 0);
    theGraphics.SetClipRect(0, 0, 800, 600);
    const std::pair<PageIndex, void (Puzzler::*)()> pages[] = {{kJigsawPage, &Puzzler::DrawJigsawPage},
                                                                {kHighScorePage, &Puzzler::DrawHighScorePage},
                                                                {kStatisticsPage, &Puzzler::DrawStatisticsPage}};
    for (const auto& [page, painter] : pages) {
        theGraphics.PushTranslation();
        theGraphics.mTranslation.x += pageOffsets[page];
        (this->*painter)();
        theGraphics.PopTranslation();
    }
}

void Puzzler::DrawAfterChildren()
{
    theGraphics.SetColorWhite();
    auto drawTiny = [this](const Button& button, bool leftSide) {
        const float cx = button.rect.x + button.rect.w / 2;
        const float cy = button.rect.y + button.rect.h / 2 + (button.down && button.hovered ? 6.0f : 0.0f);
        for (int page = 0; page < 3; ++page) {
            const bool shown = leftSide ? pageOffsets[page] < 0 : pageOffsets[page] >= kPageWidth;
            if (shown)
                sprites[kTinyOfPage[page]].DrawCentered(cx, cy);
        }
    };
    drawTiny(scrollLeftButton, true);
    drawTiny(scrollRightButton, false);
}

void Puzzler::DrawJigsawPage()
{
    for (int p = 0; p < kJigsawPictures; ++p) {
        if (pictureOffsets[p] <= -kPageWidth || pictureOffsets[p] >= kPageWidth)
            continue;
        theGraphics.PushTranslation();
        theGraphics.mTranslation.y += pictureOffsets[p];
        DrawPicture(p);
        theGraphics.PopTranslation();
    }
    sprites[kPuzzleTitle].Draw(kJigsawTitleCorner.x, kJigsawTitleCorner.y);
}

void Puzzler::DrawPicture(int picture)
{
    sprites[kPuzzleOverlay].Draw(kPicturePanelCorner.x, kPicturePanelCorner.y);
    if (complete[picture]) {
        theGraphics.SetColor(colorCycle.GetColor(cycleTime));
        theGraphics.FillRect(162, 122, 478, 386);
        theGraphics.SetColor(0, 0, 0, 1);
        theGraphics.FillRect(167, 127, 468, 376);
        theGraphics.SetColorWhite();
    }
    theGraphics.PushTranslation();
    theGraphics.mTranslation.x += kPictureX;
    theGraphics.mTranslation.y += kPictureY;
    const List& list = ownedPieces[picture];
    for (int k = 0; k < list.Count(); ++k) {
        const JigsawPieceRecord* record = RecordAt(list, k);
        Sprite& sprite = application->jigsawPieceSprites[picture * kJigsawPiecesPerPicture + record->pieceId];
        if (!record->placed) {
            theGraphics.SetColor(0, 0, 0, 0.75f);
            sprite.DrawCentered(record->x + 10, record->y + 10);
            theGraphics.SetColorWhite();
        }
        sprite.DrawCentered(record->x, record->y);
    }
    theGraphics.PopTranslation();
}

void Puzzler::DrawHighScorePage()
{
    sprites[kHighScoreOverlay].Draw(kRecordsPanelCorner.x, kRecordsPanelCorner.y);
    sprites[kHighScoreTitle].Draw(kRecordsTitleCorner.x, kRecordsTitleCorner.y);
    const float cycleLength = static_cast<float>(colorCycle.keys.size() - 1);
    // A pastel of the rainbow that flows down the rows as time goes on.
    auto colorAt = [&](float y) {
        theGraphics.SetColor(colorCycle.GetColor(cycleTime + (y - 240) / 240 * cycleLength).Brighten(0.5f));
    };
    Font& font = application->fontArialBlack16Bold;
    for (const ScoreTable& table : kScoreTables) {
        colorAt(table.headingColorY);
        font.DrawCentered(table.heading, table.headingX, table.headingY);
        const HighScoreList& list = application->*table.list;
        for (int i = 0; i < 5; ++i) {
            const float y = table.firstRowY + 20.0f * static_cast<float>(i);
            colorAt(y);
            font.Draw(list.GetName(i), table.nameX, y);
            font.DrawRight(String::StringFormat("%d", list.GetScore(i)), table.scoreRight, y);
        }
    }
    theGraphics.SetColorWhite();
}

const char* Puzzler::StatisticLabel(int row)
{
    return kStatistics[row].label;
}

String Puzzler::StatisticText(const ProfileProgress& progress, int row)
{
    return String::StringFormat("%d", static_cast<int32_t>(progress.*kStatistics[row].counter));
}

void Puzzler::DrawStatisticsPage()
{
    sprites[kHighScoreOverlay].Draw(kRecordsPanelCorner.x, kRecordsPanelCorner.y);
    sprites[kStatsTitle].Draw(kRecordsTitleCorner.x, kRecordsTitleCorner.y);
    Font& font = application->fontArialBlack16Bold;
    for (int k = 0; k < kStatisticRows; ++k) {
        const float y = 120.0f + 27.0f * static_cast<float>(k);
        if (k % 2 == 0) {
            theGraphics.SetColor(0, 0, 1, 0.5f);
            theGraphics.FillRect(95, y, 610, 27);
        }
        theGraphics.SetColorWhite();
        font.Draw(StatisticLabel(k), 100, y);
        font.DrawRight(StatisticText(application->progress, k), 700, y);
    }
}
