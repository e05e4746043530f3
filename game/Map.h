#pragma once
// The journey map: 9 x 9 squares, their progress, the screen and its record.

#include "app/Button.h"
#include "app/Gadget.h"
#include "app/ObjectManager.h"
#include "app/Sprite.h"
#include "app/SpriteStrip.h"
#include "game/ColorCycler.h"
#include "game/GameTypes.h"
#include "game/MapSquare.h"

#include <cstdint>
#include <vector>

class Game;
class IOBuffer;
class QuorbSwapApp;
class Sound;
class Sprite;
struct ProfileProgress;

// One queued flip of one square.
struct RevealStep {
    int32_t x = 0;
    int32_t y = 0;
    bool markWon = false; // set won at the midpoint
    bool unlock = false;  // clear locked at the midpoint
    bool flipX = false;   // animates scaleX, else scaleY
    float value = 1.0f;
    int32_t phase = 0; // 0 closing, 1 opening
    int32_t delay = 0;
};

class Map : public Gadget
{
  public:
    Map(QuorbSwapApp* app, Game* game);
    ~Map() override;

    void Update() override;
    void Draw() override;
    void Notify(Object* sender) override;
    void MouseMove(int x, int y) override { OnMouseMove(x, y); }
    void MouseDown(int x, int y, int button) override { OnMouseDown(x, y, button); }

    void Generate();
    void OnMouseDown(int x, int y, int button);
    void OnMouseMove(int x, int y);
    void CompleteSquare(int x, int y, int delay);
    void QueueReveal(int x, int y, int delay);
    void MoveMarker(int x, int y, int tip);
    void PlaceMarkerAtStart();
    void OnPuzzleArrived();
    void OnBonusArrived();

    void Save(IOBuffer& buffer);
    // False, with the map unchanged, when the record is damaged.
    bool Load(IOBuffer& buffer);
    // Whether a sound record starts at the cursor; the cursor then stands
    // after it. Touches no map.
    static bool CheckRecord(IOBuffer& buffer);
    // The best level time as the side panel shows it, in minutes, seconds
    // and hundredths; "..." while no level has been won.
    static String BestTimeText(int32_t ticks);

    MapSquare& Square(int x, int y) { return squares[x * kMapSize + y]; }
    static bool InMap(int x, int y) { return x >= 0 && x < kMapSize && y >= 0 && y < kMapSize; }

    // Square (x, y) is centred on (kLeft + kColumnPitch x, kTop + kRowPitch y).
    static constexpr float kLeft = 217.0f;
    static constexpr float kTop = 96.0f;
    static constexpr float kColumnPitch = 55.0f;
    static constexpr float kRowPitch = 53.0f;
    // The squares' area inside the frame, where the pointer hovers them.
    static constexpr float kHoverLeft = 190.0f;
    static constexpr float kHoverTop = 68.0f;
    static constexpr float kHoverWidth = 490.0f;
    static constexpr float kHoverHeight = 474.0f;
    // The tip marker sways this far either way.
    static constexpr float kTipSway = 8.0f;

    QuorbSwapApp* app = nullptr;
    Game* game = nullptr;
    // The profile whose jigsaw pieces and statistics the journey changes:
    // the application's, or none.
    ProfileProgress* progress = nullptr;
    MapSquare squares[kMapSquareCount]; // index 9 x + y
    ColorCycler difficultyColors;

    // Progress.
    int32_t hoverX = -1;
    int32_t hoverY = -1;
    int32_t previousHoverX = -1;
    int32_t previousHoverY = -1;
    bool chosen = false;
    std::vector<RevealStep> revealQueue;
    int32_t tipNumber = 0; // 0 none, 1 or 2
    float tipX = 0.0f;
    float tipY = 0.0f;
    float tipSideOverride = 0.0f;
    float tipFacing = 1.0f;
    float tipCaptionOffset = 0.0f;
    ObjectManager items; // flying Anim_Puzzle and Anim_Bonus effects
    float puzzleFlash = 0.0f;
    int32_t lastBonusKind = 0;
    float slotFlash[kPowerSlotCount] = {};
    bool journeyEndPending = false;

    // Tooltip (not saved).
    int32_t tooltipTimer = 0;
    float tooltipAlpha = 0.0f;
    float tooltipX = 0.0f;
    float tooltipY = 0.0f;
    Sprite* tooltipCaption = nullptr;
    float tooltipDifficulty = -1.0f;

    Button menuButton;
    Button puzzleButton;

    // Art from the "graphics\map" bundle.
    Sprite sprBackground;
    Sprite sprGridSquareLocked;
    SpriteStrip stripGameIcon; // frame = LevelType
    Sprite sprGoal;
    Sprite sprStart;
    Sprite sprWonLevel;
    Sprite sprCaptions[12]; // level types 0..7, 9 jigsaw, 10 bonus, 11 goal
    Sprite sprBonusCaptions[7];
    Sprite sprDifficultyCaption;
    Sprite sprDifficultyPips[5];
    Sprite sprTipArrow;
    Sprite sprTips[2];
    Sprite sprLock;
    Sprite sprBonusCoin;
    SpriteStrip stripBonusCoins; // frame = PowerKind
    Sprite sprMenu;
    Sprite sprMenuHilite;
    Sprite sprPuzzle;
    Sprite sprPuzzleHilite;

  private:
    void LoadArt();
    void SetUpButton(Button& button, float x, float y);
    void PlaySound(Sound* sound, float pitch) const;
    Sound* AppSound(Sound QuorbSwapApp::*member) const;
    Sprite* PieceSprite(int picture, int piece) const;

    // Generation steps.
    void DrawLevelTypes();
    void PlaceJigsawSquares(const int wayPoints[3][2], int startIndex, int goalIndex);
    void PlaceBonusSquares();
    void SetDistanceDifficulty(int goalX, int goalY, float span);
    void RaiseNearSpecials();
    void ApplyGameDifficulty();
    void SetColorFromDifficulty(MapSquare& square) const;

    // Progress.
    bool AcceptsClicks() const;
    void CollectPiece(int x, int y);
    void CollectBonus(int x, int y);
    void EndJourney(int x, int y);
    // The goal was taken: its rewards fly or the final win screen is up, and
    // nothing on the map is pointed at any more.
    bool JourneyEnding() const;
    void AppendStep(int x, int y, bool markWon, bool unlock, int delay);
    void StepReveals();
    void PointAtUnlockedSquare();
    bool MarkerFits(float x, float facing) const;

    // Screen.
    void ResetTooltip();
    void ForgetHover();
    void UpdateTooltip();
    void DrawSquare(int x, int y);
    void DrawHoveredSquare();
    void DrawPieceWithOutline(int x, int y, float k, const float (&flip)[2]);
    void DrawPanel();
    void DrawTooltip();
};
