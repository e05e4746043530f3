#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What a crash report needs of the system, in place of the unhandled-exception
// filter and the module queries: fatal signals caught on a stack of their own,
// the code addresses of the failing thread placed in their modules, and the
// means to show the report from a fresh process, since a crashed process can
// trust neither its heap nor its window.
namespace Platform::Crash {
constexpr int kMaxFrames = 64;

// One code address: the module that holds it, the 1-based number of the
// loadable segment it lies in and its offset there (0 and 0 when unknown).
struct Frame
{
    const char* module = "";
    unsigned section = 0;
    uint64_t offset = 0;
};

// How much of the stack the frames after the first hold.
enum class Walk {
    NotYet, // the faulting instruction alone, before the stack is walked
    Whole,
    CutShort, // the walk met a frame it could not read
};

// The faulting instruction first, then each return address of the stack.
struct Fault
{
    int signal = 0; // 0 when a report was asked for without a fault
    Walk walk = Walk::Whole;
    int frameCount = 0;
    Frame frames[kMaxFrames];
};

// Called on the first thread to fail, on its alternate stack, while the
// process's other threads stand still: a fault of another one meanwhile
// stops that one too, and a fault of this thread goes at once to the
// handling there was before Install. It is called twice: before the stack
// is walked, with the faulting instruction alone (what it writes then stays
// whatever the walk does), and with the walk, which a frame it cannot read
// cuts short. When that returns, the signal is raised again and the earlier
// handling ends the process. It runs while other threads may hold any lock
// (the allocator's, the loader's), so it may only make async-signal-safe
// calls: the ones below marked so, and what it prepared before the fault.
using Handler = void (*)(const Fault& fault);

// --- Signals and the stack (Crash.cpp; the modules, CrashModules.cpp) ---

// Catches SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT, and gives the
// calling thread its alternate stack as PrepareThread does; calling it
// again replaces the handler. It also notes what the handler cannot look up
// at the fault: the loaded modules' address ranges, and holds a descriptor
// in reserve that the fault frees first.
void Install(Handler handler);
// Puts back the handling there was before Install.
void Uninstall();

// What the handler itself takes of an alternate stack beyond the signal
// frame: the walk, the placing of the frames and the report's text, with
// room to spare under a sanitizer, whose frames are larger.
constexpr size_t kHandlerStackNeed = 128 * 1024;

// Gives the calling thread an alternate stack the handler can run on when
// the thread's own stack is what failed: the machine's signal frame and
// kHandlerStackNeed. A stack the thread has already (a sanitizer's, a
// runtime's) is kept when it is as large; otherwise one is mapped for the
// thread alone, without the heap, and as the thread ends the earlier one
// goes back in place, for its owner to free, and this one is unmapped.
// Every thread that runs the game's code calls it first; again, it does
// nothing.
void PrepareThread();

// The caller's own stack, its caller first, for a report without a fault.
// The modules are noted again first: some may have been loaded since.
void CaptureHere(Fault& fault);

// --- Starting the reporter (CrashProgram.cpp) ---

// Async-signal-safe. Runs the program (arguments[0] is its path; the list
// ends with a null) in a process of its own and waits for it; false when it
// could not be run or did not end with code 0.
bool RunProgram(const char* const* arguments);

// Async-signal-safe. The texts, one after the other, on the standard error
// stream; the list ends with a null.
void WriteError(const char* const* texts);

// --- The report's message box and terminal (CrashBox.cpp) ---

// A message box with the buttons given, left to right; the index of the one
// pressed. The box shows the text as FitToScreen lays it out for the screen;
// without a display the whole text goes to the standard error stream and the
// default button is the answer.
int Choose(const std::string& title, const std::string& text, const std::vector<std::string>& buttons,
           int defaultButton);

// The message box draws in a font of the window system's that the program
// cannot measure, and centres itself on the screen however large it is: the
// text is laid out for a large font's cell, with room beside it for the box's
// padding and above and below it for its title, padding and buttons.
constexpr int kBoxGlyphWidth = 10;
constexpr int kBoxLineHeight = 20;
constexpr int kBoxSideRoom = 60;
constexpr int kBoxTopAndBottomRoom = 160;

// The text laid out so that a message box holding it fits on a screen of
// the size given: lines wrapped at spaces (a longer word is split) and, when
// more lines come than fit, the last one that fits made "...". Windows line
// ends become bare ones.
std::string FitToScreen(const std::string& text, int screenWidth, int screenHeight);

// Whether the program's input is a terminal a line can be typed on.
bool HasTerminal();

// A line typed on the terminal after the prompt, at most maxLength bytes;
// empty when the program has no terminal.
std::string ReadTerminalLine(const std::string& prompt, size_t maxLength);
} // namespace Platform::Crash
