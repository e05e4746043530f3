#include "app/AppLock.h"

#include "app/App.h"

AppLock::AppLock(bool take)
{
    if (take && theApp != nullptr) {
        mHeld = std::unique_lock<std::recursive_mutex>(theApp->lock);
    }
}

AppLock::AppLock(App& app) : mHeld(app.lock) {}
