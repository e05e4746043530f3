#pragma once

#include <mutex>

class App;

// Holds the application lock for its scope: the main thread draws under it,
// and graphics work the loader thread does (atlas pages, releasing
// textures) takes it too. Without an application, or when not wanted, it
// holds nothing.
class AppLock
{
  public:
    explicit AppLock(bool take = true);
    explicit AppLock(App& app);
    ~AppLock() = default;
    AppLock(const AppLock&) = delete;
    AppLock& operator=(const AppLock&) = delete;

  private:
    std::unique_lock<std::recursive_mutex> mHeld;
};
