#pragma once
// The play session of one game mode: its map, its boards and power slots.

#include "app/Gadget.h"
#include "app/String.h"
#include "game/GameTypes.h"

#include <cstdint>

class Board;
class Map;
class QuorbSwapApp;
class Tutor;

class Game : public Gadget
{
  public:
    explicit Game(QuorbSwapApp* app);
    ~Game() override;

    void Draw() override;
    void Kill() override;
    // Its children stop, and its boards fall silent until the last resume.
    void Pause() override;
    void Resume() override;
    void Initialize() override;
    void Char(int character) override { OnKey(character); }

    void StartLevel(bool withTransition);
    void ShowMap(bool withTransition);
    void OnLevelWon();
    void OnLevelLost();
    int ScoreMultiplier(int points);
    int CountPowerSlots(int kind) const;
    // -1 toggles, 0 resumes, 1 pauses.
    void SetPaused(int mode);
    void OpenPopupMenu();
    void OnKey(int character);

    // Saved game. Save tells whether the file could be written. Load
    // refuses a damaged file whole (false) before it builds anything, and
    // moves it aside to the same name with ".damaged" added.
    bool Save();
    bool Load();
    void DeleteSave();
    String GetSavePath();

  private:
    void ClosePopupMenu();
    void PauseBoardSounds(bool paused);
    void BringToRest();
    void RemoveSaveFile(const String& path);
    void KeepDamagedSave(const String& path);

  public:

    QuorbSwapApp* application = nullptr;
    Board* board = nullptr;
    Board* opponentBoard = nullptr; // the computer's board of a duel level
    Map* map = nullptr;
    int32_t squareX = 0;
    int32_t squareY = 0;
    int32_t level = 1;
    int32_t score = 0;
    int32_t bestTime = kNoBestTime; // ticks of the fastest won journey level
    LevelType levelType = LevelType::Meter;
    int32_t mapDifficulty = 0; // 0..100
    float difficultyModifiers[10] = {};
    int32_t powerSlots[kPowerSlotCount] = {kNoPower, kNoPower, kNoPower, kNoPower, kNoPower,
                                           kNoPower, kNoPower, kNoPower, kNoPower, kNoPower};
    uint8_t deleteSave = 0;
    String saveName;
    Tutor* tutor = nullptr;
    Difficulty difficulty = Difficulty::Normal;
};
