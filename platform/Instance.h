#pragma once

#include <string>
#include <vector>

// One running copy of the program per name and user, in place of a named
// mutex and a broadcast message: a local socket in the abstract namespace,
// named after the application and the user. Binding it is the lock; a later
// copy connects, sends "raise" and goes away, and the holder hears it in its
// message pump. Another user's copy is not this one running: it binds a name
// of its own, and a socket of another user's under our name is neither a
// holder to hand over to nor a request to raise.
namespace Platform {
class Instance
{
  public:
    Instance() = default;
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    // False when another process (or another Instance) holds the name, or
    // the name cannot be used at all.
    bool Acquire(const std::string& name);
    void Release();
    bool IsHeld() const { return listener_ >= 0; }

    // Asks the holder of the name to come to the front; false when nobody
    // of this user holds it.
    static bool NotifyHolder(const std::string& name);

    // True when a raise request arrived since the last call; never waits.
    bool PollRaise();

  private:
    int listener_ = -1;
    // Connections whose request has not fully arrived yet.
    std::vector<int> pending_;
};

// Gives up the name held by this process for a fault: a start while the
// crash report is shown becomes the running game. Async-signal-safe: it only
// closes the held socket, with no lock and no heap.
void ReleaseInstanceNameOnFault();
} // namespace Platform
