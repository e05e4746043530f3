#pragma once
// The jigsaw and records screen: three pages on a sliding ring.

#include "app/Button.h"
#include "app/Gadget.h"
#include "app/List.h"
#include "app/Point.h"
#include "app/Sprite.h"
#include "app/SpriteStrip.h"
#include "app/String.h"
#include "game/ColorCycler.h"
#include "game/GameTypes.h"

#include <array>
#include <cstdint>
#include <optional>

struct JigsawPieceRecord;
struct ProfileProgress;
class QuorbSwapApp;

class Puzzler : public Gadget
{
  public:
    explicit Puzzler(QuorbSwapApp* app);
    ~Puzzler() override;

    void Update() override;
    void Draw() override;
    void DrawAfterChildren() override;
    void Notify(Object* sender) override;
    void DragStart(int x, int y) override;
    void Drag(int x, int y) override;
    void DragEnd(int x, int y) override;

    void DrawJigsawPage();
    void DrawStatisticsPage();
    void DrawHighScorePage();
    void DrawPicture(int picture);

    // Where the pages draw their panels and titles, top-left corners. The
    // titles stand high enough that their letters, the descenders too, end
    // above the gold rims of the panels.
    static constexpr Point kPicturePanelCorner{88, 56};
    static constexpr Point kRecordsPanelCorner{30, 56};
    static constexpr Point kJigsawTitleCorner{220, 5};
    static constexpr Point kRecordsTitleCorner{220, -6};

    static constexpr int kStatisticRows = 14;
    // Row k of the statistics page: its label, and its counter as shown.
    static const char* StatisticLabel(int row);
    static String StatisticText(const ProfileProgress& progress, int row);
    // The top-left corner of each piece's home as a picture's "info.cfg"
    // gives it, in piece order; a piece it leaves out has none.
    using PieceCorners = std::array<std::optional<Point>, kJigsawPiecesPerPicture>;
    static PieceCorners ReadPieceCorners(const String& path);

    QuorbSwapApp* application = nullptr;
    // "mainmenu", "scrollleft", "scrollright", "nextpuzzle",
    // "previouspuzzle", "backtogame".
    SpriteStrip strips[6];
    // "background", "puzzleoverlay", "puzzletitle", "highscoreoverlay",
    // "highscoretitle", "statstitle", "tiny_scores", "tiny_puzzle",
    // "tiny_stats".
    Sprite sprites[9];
    Button menuButton;
    Button scrollLeftButton;
    Button scrollRightButton;
    Button nextPictureButton;
    Button previousPictureButton;
    float pictureOffsets[kJigsawPictures] = {};
    float pictureSpeed = 0.0f;
    float pictureRemaining = 0.0f;
    List ownedPieces[kJigsawPictures]; // JigsawPieceRecord pointers
    JigsawPieceRecord* draggedPiece = nullptr;
    Point grabOffset;
    int32_t draggedPicture = 0;
    Point pieceTargets[kJigsawPieceCount];
    bool complete[kJigsawPictures] = {};
    ColorCycler colorCycle;
    float cycleTime = 0.0f;
    // Jigsaw, statistics and high-score page, in that order.
    float pageOffsets[3] = {};
    float pageSpeed = 0.0f;
    float pageRemaining = 0.0f;

  private:
    void BuildJigsaw();
    void LoadPieceHomes(int picture);
    void SlidePages(int steps);
    bool IsComplete(int picture) const;
    void MoveDragged(int x, int y);
};
