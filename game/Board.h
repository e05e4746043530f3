#pragma once
// The playing field of one level: the grid, its pieces and the level's rules.

#include "app/AudioLooper.h"
#include "app/Button.h"
#include "app/Color.h"
#include "app/Gadget.h"
#include "app/List.h"
#include "app/ObjectManager.h"
#include "app/Point.h"
#include "app/Rect.h"
#include "app/RectComplex.h"
#include "app/Sprite.h"
#include "game/GameTypes.h"

#include <cstdint>
#include <vector>

class Game;
class IOBuffer;
struct ProfileProgress;
class LevelupOverlay;
class LoseOverlay;
class Quorb;
class QuorbSwapApp;
class ReadyOverlay;
class SpriteStrip;
class WinOverlay;

// Distinct pieces lined up, or several lines that share a piece.
using PieceGroup = std::vector<Quorb*>;

// An explosion waiting for its delay to run out.
struct ExplosionRecord {
    Point pos;
    int32_t delay = 0;
};

// One piece of the board frame: a corner or an edge.
struct FrameDecoration {
    bool isCorner = false;
    bool isVertical = false;
    bool isHorizontal = false;
    Point start; // the corner, or the first end of an edge
    Point end;
    int32_t frameIndex = 0; // frame of the frame strip
    Rect bounds;
};

// Where the meters and counters of a level go, in grid coordinates: the
// art's top-left corners, the warning's and the clock's centres, the top
// centre of the matches count.
struct HudLayout {
    Point pressureMeter, pressureFill, pressureFace;
    Point levelMeter, levelFill, warning; // the duel meter's when duelMeter is set
    Point matchesCounter, matchesText;
    Point stopwatch, clockCentre;
    Point collectSlots[4];
};

class Board : public Gadget
{
  public:
    Board(QuorbSwapApp* app, Game* game);
    ~Board() override;

    // The chain counter multiplies scores; real chains stay far below this.
    static constexpr int32_t kMaxCascade = 10000;

    // Gadget operations.
    void Update() override;
    void Draw() override;
    void Notify(Object* sender) override;
    void Initialize() override;
    void MouseMove(int x, int y) override { OnMouseMove(x, y); }
    void MouseDown(int x, int y, int button) override { OnMouseDown(x, y, button); }
    void MouseUp(int x, int y, int button) override { OnMouseUp(x, y, button); }
    // Two quick presses close by, on neighbouring pieces either side of
    // their edge, may come as a double click: the second still swaps.
    void DoubleClick(int x, int y, int button) override { OnMouseDown(x, y, button); }

    // Model.
    bool IsCellEnabled(int x, int y) const;
    void PieceMoveDone();
    // No overlay covers the board; playing also needs the first swap made.
    bool IsUncovered() const;
    bool IsPlaying() const;

    // Swapping.
    Quorb* PieceAt(float x, float y) const;
    Quorb* PieceAtPoint(Point p) const;
    bool AreNeighbours(Quorb* a, Quorb* b) const;
    bool TrySwap(Quorb* a, Quorb* b);
    void OnMouseDown(int x, int y, int button);
    void OnMouseMove(int x, int y);
    void OnMouseUp(int x, int y, int button);

    // Matching, moves, hint and demonstration.
    bool FindMatches(std::vector<PieceGroup>* groups = nullptr);
    bool HasLineThrough(Quorb* piece);
    bool FindPossibleMove(Point* outPos = nullptr, Point* outDir = nullptr);
    void ShowHint();
    void UpdateDemo();

    // Match processing and scoring.
    void ProcessMatches();
    void AddScorePopup(int points, Point pos);
    void QueueExplosion(Point pos);
    void PressureReliefPerSuper();

    // A paused game makes no sound of its own: its loops hold, silent.
    void PauseSounds(bool paused);

    // Settling and refill.
    void Settle();
    void UpdateMeterDisplay();
    void Refill();
    void CorrectHoles();

    // The Game's level (1 without a game), the application's mode (Journey
    // without one) and its progress block (null without one).
    int32_t CurrentLevel() const;
    GameMode CurrentMode() const;
    ProfileProgress* Progress() const;

    // Level set-up.
    void SetupLevel(LevelType type, int difficulty);
    void SetupCollect(int difficulty);
    void SetupComputer(int difficulty, double fraction);
    void SetupEndless(GameMode mode);
    void SetSize(int width, int height);
    void FillInitial(std::vector<Quorb*>* list);
    void PlaceLevelSkulls();
    void PlaceSkulls();

    // Goals, level-up and loss.
    void CheckGoal();
    void CheckLose();
    void LoseOnDrain();
    void ChangeAllToSkulls();
    void LevelUp(GameMode mode);
    void OpenLoseOverlay(LoseReason reason, bool overGame);
    // A lost Casual or Speed game is over: its save goes when it is left,
    // whether the loss came in play or with the resumed save.
    void EndLostEndlessGame();
    // The level meter is this board's goal (the player's board of a meter,
    // drain or duel level, or of a Casual or Speed game).
    bool HasMeterGoal() const;
    // The meter is full but its display still rises towards it: the goal
    // check waits for the display and the loss check waits for the goal.
    bool MeterGoalWaiting() const;
    // This is the player's board of a duel whose computer has filled its meter.
    bool OpponentMeterFull() const;
    // Board::Update runs it after the meter display step: a goal check that
    // waited for the display gets its settle once the display arrives.
    void SettleWhenMeterShown();

    // Meters, pressure and skull conversions.
    void RaisePressure();
    void UpdateSpeedPressure();
    bool ConvertToSkull(Quorb* piece);
    void RunConversions();
    bool HasPieceOtherThanSkull() const;
    void WarnPressure();

    // Popped pieces, goal counters and bonus effects.
    void OnPiecePopped(Quorb* piece);
    void RaiseMeter();
    void MarkCell(Quorb* piece);
    void OnSkullBroken(Quorb* piece);
    void OnSkullHit(Quorb* piece);
    void CascadeBonus(Point point);
    void MultiMatchBonus(const std::vector<PieceGroup>& groups, Point point);

    // Explosions.
    void Explode(Point point);

    // Computer opponent.
    void UpdateComputer();

    // Art, frame and drawing.
    void PreparePieceArt();
    void PrepareCollectIcons();
    void BuildFrame();
    void DrawFrame();
    void DrawHud();
    void DrawCells();
    void DrawBackground();
    void TrimCorners();
    void PlaceButtons();
    Sprite* MenuArt() const;
    void SetComputerTint(bool on);
    void DrawButtonArt(Button& button, SpriteStrip* strip);
    void DrawPieces();
    void DrawHint();
    HudLayout LayoutHud() const;
    void DrawPressureMeter(const HudLayout& l);
    void DrawDrainWarning(Point at);
    void DrawMeterFill(Sprite& fill, Point at, bool across);
    void DrawCountdown(const HudLayout& l);
    void DrawCollectSlots(const HudLayout& l);

    // Save record. Save brings the board to rest first; a rest may end the
    // level or level up, so the Game brings it to rest before it writes its
    // own fields too.
    void BringToRest();
    void Save(IOBuffer& buffer);
    void Load(IOBuffer& buffer);

    QuorbSwapApp* app = nullptr;
    Game* game = nullptr;
    int32_t gridWidth = 0;
    int32_t gridHeight = 0;
    Rect gridRect;
    // Row-major, index y x gridWidth + x; nonzero = the cell exists.
    std::vector<uint8_t> cellEnabled;
    // Marked cells of GoGold levels; empty on other levels.
    std::vector<uint8_t> cellMarked;
    float cellSize = 0.0f;
    float pieceScale = 0.0f; // cellSize / 256, the scale of piece effects
    ObjectManager pieces;    // list order is draw order
    int32_t kindCount = 7;
    Point pressPoint;
    bool pressed = false;
    Quorb* selected = nullptr;
    // Running piece animations and overlays holding the board; the board
    // settles when it drops to 0.
    int32_t movingCount = 0;
    bool movesFinished = false;
    bool matchingArmed = false;
    Quorb* swapFirst = nullptr;
    Quorb* swapSecond = nullptr;
    bool refillPending = false;
    bool strictRefill = true;
    bool refillAvoidsMatches = true;
    bool refillCheckActive = false;
    float uncheckedRefillChance = -1.0f; // -1 = never
    float lateUncheckedRefillChance = 0.0f;
    int32_t strictRefillHold = 0;
    RectComplex frame;
    std::vector<ExplosionRecord> explosions;
    std::vector<FrameDecoration> frameDecorations;
    int32_t cascadeLevel = 0;
    Point slideOffset;
    Point gridOffset;
    bool showReadyOverlay = true;
    ReadyOverlay* readyOverlay = nullptr;
    WinOverlay* winOverlay = nullptr;
    LoseOverlay* loseOverlay = nullptr;
    LevelupOverlay* levelupOverlay = nullptr;
    int32_t skullCount = 4;
    bool hintShown = false;
    Point hintPos;
    float hintAngle = 0.0f;
    Point hintDir;
    float hintSpin = 0.0f;
    float hintAlpha = 0.0f;
    ObjectManager effects;
    float zoom = 0.0f;
    float shake = 0.0f;
    LevelType levelType = LevelType::Meter;
    bool showMeter = false;
    bool duelMeter = false;
    float meterValue = 0.0f;
    float meterShown = 0.0f;
    float meterDrain = 0.0f;
    float meterMax = 0.0f;
    bool showPressure = false;
    float pressure = 0.0f;
    float pressurePerMove = 0.0f;
    float pressureShown = 0.0f;
    float pressureRelief = 0.0f;
    int32_t conversions = 1;
    bool pressureOnMoves = true;
    bool goalCheckPending = false;
    bool loseCheckPending = false;
    int32_t repairCountdown = 0;
    AudioLooper meterLoop;
    AudioLooper warningLoop;
    float meterLoopVolume = 0.0f;
    float meterLoopTarget = 0.0f;
    Color tint{1.0f, 1.0f, 1.0f, 1.0f};
    int32_t levelScore = 0;
    int32_t levelTicks = 0;
    int32_t piecesMatched = 0;
    bool started = false;
    List flyingPieces; // not owned
    ObjectManager popups;
    bool relaxPopups = false;
    Button hintButton;
    Button skipButton;
    Button menuButton;
    AudioLooper tickLoop;
    int32_t matchesLeft = 10;
    bool showMatchesLeft = false;
    bool showCountdown = false;
    int32_t countdown = 0;
    int32_t countdownStart = 0;
    float markThreshold = 0.0f;
    int32_t collectKinds[4] = {-1, -1, -1, -1};
    int32_t collectCounts[4] = {};
    Sprite collectIcons[4];
    bool showCollect = false;
    bool isComputer = false;
    int32_t aiCountdown = 0;
    int32_t aiThinkTime = 0;
    Point aiPointer{-9999.0f, -9999.0f};
    int32_t aiWanderTimer = 0;
    bool forceWin = false;
    float pressurePerTick = 0.0f;
    int32_t pressureReliefTicks = 0;
    bool demoMode = false;
    int32_t demoTimer = 0;
    int32_t demoPhase = 0;
};
