#pragma once

#include <functional>
#include <string>
#include <vector>

// One running copy of the program per name and user, in place of a named
// mutex and a broadcast message: a local socket named after the application
// in the first of the user's private folders (Folders::PrivatePlaces) that
// can hold it, which no other user can enter, so nobody else can take the
// name, fill it or answer it. A lock on a file beside the socket is the
// lock; a later copy connects and sends "raise", the holder hears it in its
// message pump, raises its window and answers, and only then does the later
// copy go away: a holder that does not answer within a second (stopped,
// hung) is passed over, and the later copy runs beside it.
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

    // Asks the holder of the name to come to the front; true once it has
    // answered that it did, false when nobody holds the name or the holder
    // does not answer within a second.
    static bool NotifyHolder(const std::string& name);

    // How a start went: holding the name, handed over to the copy holding
    // it (this copy should end), or going on without the name (no private
    // folder can hold it, or its holder does not answer).
    enum class Start {
        Holder,
        HandedOver,
        WithoutName,
    };
    // Takes the name, or else hands over to its holder; a hand-over that
    // fails tries to take the name again, since the holder may just have
    // ended. Waits on no holder beyond the bound of a second. Says once on
    // the standard error stream why the name is not where it is looked for
    // first (the private folders passed over, and why), and why this copy
    // goes on without it.
    Start TakeOrHandOver(const std::string& name);

    // When raise requests arrived since the last call, calls "raise" and
    // then answers them; true when it did. Never waits.
    bool PollRaise(const std::function<void()>& raise);

  private:
    bool AcquireAt(const std::string& path);

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
