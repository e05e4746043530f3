#pragma once

#include <string>
#include <vector>

// One running copy of the program per name and user, in place of a named
// mutex and a broadcast message: a local socket named after the application
// in the user's runtime folder (Folders::Runtime), which no other user can
// enter, so nobody else can take the name, fill it or answer it. A lock on a
// file beside the socket is the lock; a later copy connects, sends "raise"
// and goes away, and the holder hears it in its message pump.
namespace Platform {
class Instance
{
  public:
    Instance() = default;
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    // False when another process (or another Instance) holds the name, or
    // the name cannot be used at all. A socket left by a holder that ended
    // without giving the name up is replaced.
    bool Acquire(const std::string& name);
    void Release();
    bool IsHeld() const { return listener_ >= 0; }

    // Asks the holder of the name to come to the front; false when nobody
    // holds it or the holder does not take the request within a short bound.
    static bool NotifyHolder(const std::string& name);

    // How a start went: holding the name, handed over to the copy holding
    // it (this copy should end), or going on without the name (it cannot be
    // used, or its holder hangs).
    enum class Start {
        Holder,
        HandedOver,
        WithoutName,
    };
    // Takes the name, or else hands over to its holder; a hand-over that
    // fails tries to take the name again, since the holder may just have
    // ended. Waits on no holder beyond the short bound.
    Start TakeOrHandOver(const std::string& name);

    // True when a raise request arrived since the last call; never waits.
    bool PollRaise();

  private:
    int listener_ = -1;
    int lock_ = -1;
    std::string path_;
    // Connections whose request has not fully arrived yet.
    std::vector<int> pending_;
};

// Gives up the name the last Acquire took, from a handler of a fatal signal:
// the socket goes and the lock is let go, so the player's next start runs
// at once. Async-signal-safe: it only closes and unlinks what was kept.
void ReleaseInstanceNameOnFault();
} // namespace Platform
