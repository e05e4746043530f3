#include "app/App.h"

#include "app/CrashCatcher.h"
#include "app/FileHelpers.h"
#include "app/Graphics.h"
#include "app/Keyboard.h"
#include "app/Registry.h"
#include "platform/Cursors.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Keyboard.h"
#include "platform/Shell.h"

#include <algorithm>
#include <cctype>

namespace {
namespace Key = Platform::KeyCode;

// The open hand with spread fingers shown while dragging; rows 4 to 25, the
// rest transparent.
constexpr uint32_t kOwnAnd[22] = {0xFFFE7FFF, 0xFFFC0FFF, 0xFFF007FF, 0xFFE001FF, 0xFFE000FF, 0xFFE000FF,
                                  0xFFE000FF, 0xFFE000FF, 0xFE6000FF, 0xFC2000FF, 0xFC0000FF, 0xFE0000FF,
                                  0xFE0000FF, 0xFF0000FF, 0xFF8000FF, 0xFF8001FF, 0xFFC001FF, 0xFFE001FF,
                                  0xFFF003FF, 0xFFF803FF, 0xFFF803FF, 0xFFF803FF};
constexpr uint32_t kOwnXor[22] = {0x00000000, 0x00018000, 0x0001B000, 0x000DB000, 0x000DB600, 0x000DB600,
                                  0x000DB600, 0x000DB600, 0x000DB600, 0x018DB600, 0x01CFFE00, 0x00EFFE00,
                                  0x00FFFE00, 0x007FFE00, 0x003FFE00, 0x003FFC00, 0x001FFC00, 0x000FFC00,
                                  0x0007F800, 0x0003F800, 0x0003F800, 0x00000000};
constexpr int kFirstDrawnRow = 4;

constexpr const char* kCacheFolder = "cached";
constexpr const char* kCacheInfo = "cached/cacheinfo.cfg";

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string Lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The cache lives beside the program, whatever the working folder is.
String ProgramPath(const char* relative)
{
    std::string folder = Platform::Folders::Program();
    return String((folder.empty() ? std::string(relative) : folder + "/" + relative).c_str());
}

bool ControlHeld()
{
    return theKeyboard.IsKeyDown(Key::LeftControl) || theKeyboard.IsKeyDown(Key::RightControl);
}

bool AltHeld()
{
    return theKeyboard.IsKeyDown(Key::LeftAlt) || theKeyboard.IsKeyDown(Key::RightAlt);
}

bool Toggle(int key, bool& flag)
{
    if (!theKeyboard.WentDown(key))
        return false;
    Platform::Dialogs::Beep();
    flag = !flag;
    return true;
}
} // namespace

String GetDesktopFilePath(const String& name)
{
    std::string desktop = Platform::Folders::Desktop();
    if (desktop.empty())
        return name;
    return String((desktop + "/" + name.CStr()).c_str());
}

String GetDataFilePath(const String& name)
{
    const String folder = theApp != nullptr ? theApp->GetDataFolder() : String();
    return String::StringFormat("%s/%s", folder.IsEmpty() ? "." : folder.CStr(), name.CStr());
}

void App::ResolveDataFolder()
{
    std::string folder = Platform::Folders::DataFolderTemplate();
    if (folder.size() > 1 && !forceDocumentsFolder) {
        ReplaceAll(folder, "(NAME OF GAME)", name.CStr());
        ReplaceAll(folder, "(PUBLISHER)", company.CStr());
    } else {
        std::string documents = Platform::Folders::Documents();
        folder = documents.empty() ? std::string() : documents + "/my games/" + name.CStr();
    }
    if (folder.empty()) {
        Platform::Shell::PrintError(std::string(name.CStr()) +
                                    ": no folder for the game's data can be found (no XDG_DATA_HOME and no home "
                                    "folder): using the working folder");
        folder = ".";
    }
    dataFolder = folder.c_str();
    // Said once, here: every later write there fails on its own, silently
    // but for a saved game.
    const std::string problem = Platform::Files::MakeWritableFolder(folder);
    // Only the player reads it: crash reports go there too.
    if (folder != ".")
        Platform::Files::MakePrivate(folder);
    if (!problem.empty())
        Platform::Shell::PrintError(std::string(name.CStr()) + ": the data folder " + folder +
                                    " cannot be made or written (" + problem +
                                    "): settings, profiles, scores and saved games will not be kept");
    configPath = String::StringFormat("%s/config.cfg", dataFolder);
}

// Switches are whole arguments: a folder named "-crash-tests" in the
// program's path does not count as "-crash".
void App::ReadCommandLine()
{
    arguments.clear();
    std::string joined;
    for (const std::string& argument : Platform::Shell::Arguments()) {
        arguments.push_back(Lowered(argument));
        joined += (joined.empty() ? "" : " ") + arguments.back();
    }
    commandLine = joined.c_str();
    crashSwitch = HasCommandLineSwitch("-crash");
}

bool App::HasCommandLineSwitch(const char* switchName) const
{
    std::string wanted = Lowered(switchName);
    return std::find(arguments.begin(), arguments.end(), wanted) != arguments.end();
}

void App::CheckCacheVersion()
{
    String folder = ProgramPath(kCacheFolder);
    if (!cacheSounds) {
        DeleteFolder(folder);
        return;
    }
    Registry info;
    info.Load(ProgramPath(kCacheInfo));
    RegistryEntry* stored = info.Find("Version");
    if (stored == nullptr || stored->value.CompareNoCase(version) != 0) {
        DeleteFolder(folder);
        MakeFolders(String::StringFormat("%s/", folder));
    }
    info.SetString("Version", version);
    info.Save();
}

void App::CreateCursors()
{
    if (ownCursorsMade)
        return;
    uint32_t andMask[32];
    uint32_t xorMask[32];
    std::fill(std::begin(andMask), std::end(andMask), 0xFFFFFFFFu);
    std::fill(std::begin(xorMask), std::end(xorMask), 0u);
    invisibleCursor = Platform::Cursors::Create(andMask, xorMask, 16, 16);
    std::copy(std::begin(kOwnAnd), std::end(kOwnAnd), andMask + kFirstDrawnRow);
    std::copy(std::begin(kOwnXor), std::end(kOwnXor), xorMask + kFirstDrawnRow);
    ownCursor = Platform::Cursors::Create(andMask, xorMask, 15, 10);
    ownCursorsMade = true;
}

void App::FreeCursors()
{
    currentCursor = nullptr;
    for (Platform::Cursor** cursor :
         {&arrowCursor, &waitCursor, &handCursor, &ibeamCursor, &ownCursor, &invisibleCursor}) {
        Platform::Cursors::Free(*cursor);
        *cursor = nullptr;
    }
}

void App::SetCursor(Platform::Cursor* cursor)
{
    currentCursor = busyCount > 0 ? waitCursor : cursor;
    const Platform::Cursor* known[] = {arrowCursor, waitCursor, handCursor, ibeamCursor, ownCursor};
    for (int index = 0; index < 5; ++index) {
        if (currentCursor && currentCursor == known[index])
            theGraphics.SetCustomCursorShape(index);
    }
    if (window && active)
        UpdateCursor();
}

// The custom cursor is a colour cursor the window system draws, so there is
// no need to hide it outside the client area: it only shows over the window.
void App::UpdateCursor()
{
    const bool custom = theGraphics.mUseCustomCursors;
    theGraphics.SetCustomCursorHidden(!custom);
    if (!custom)
        Platform::Cursors::Show(currentCursor);
}

bool App::CheatKey(int key) const
{
    return cheatsEnabled && theKeyboard.WentDown(key);
}

void App::CheatKeys()
{
    if (ControlHeld() && AltHeld())
        Toggle(Key::Q, showDebugText);
    if (Toggle(Key::F12, showFrameRate))
        framesThisSecond = 1;
    Toggle(Key::F11, showSwaps);
    Toggle(Key::F10, showVideoMemory);
    if (!showDebugText)
        return;
    SpeedKeys();
    // The reporter must be testable without waiting for a real fault.
    if (ControlHeld() && AltHeld() && theKeyboard.WentDown(Key::C))
        theCrashCatcher.RunNow();
    ExtraCheatKeys();
}

// Page Up and Page Down add a little so that 1.1 and the like are not read
// as a hair below.
void App::SpeedKeys()
{
    if (theKeyboard.WentDown(Key::Home)) {
        Platform::Dialogs::Beep();
        SetSpeed(1.0f);
        speedPercent = 100;
    }
    if (theKeyboard.WentDown(Key::End)) {
        Platform::Dialogs::Beep();
        speedPercent += 100;
        SetSpeed(static_cast<float>(speedPercent / 100));
    }
    if (theKeyboard.WentDown(Key::PageUp)) {
        Platform::Dialogs::Beep();
        speedPercent += 10;
        SetSpeed(static_cast<float>(speedPercent / 100.0 + 0.0002));
    }
    if (theKeyboard.WentDown(Key::PageDown)) {
        Platform::Dialogs::Beep();
        speedPercent = std::max(10, speedPercent - 10);
        SetSpeed(static_cast<float>(speedPercent / 100.0 + 0.0002));
    }
}

void App::SaveScreenshot()
{
    MakeFolders("Screenshots\\");
    String path;
    for (int number = 1;; ++number) {
        path.Format("Screenshots\\screenshot%d.bmp", number);
        if (!FileExists(path))
            break;
    }
    theGraphics.SaveBMP(path.CStr());
    Platform::Dialogs::Beep();
}
