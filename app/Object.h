#pragma once

// Base of everything that is updated once per logic tick or drawn once per
// frame. The manager that holds an object, not the object, decides when a
// killed object is deleted.
class Object
{
  public:
    Object();
    virtual ~Object();

    virtual void Update();
    // A fraction (0..1) of a tick, used when the main loop paces by the
    // display refresh.
    virtual void UpdateFractional(float fraction);
    virtual void Draw();
    // A member or child tells its owner that something happened to it.
    virtual void Notify(Object* sender);
    virtual void Kill();
    virtual void Pause();
    virtual void Resume();

    bool IsPaused() const { return pauseCount != 0; }

    bool killed = false;
    int pauseCount = 0;
    // Taken from the application's object counter; ObjectManager::KillByID
    // finds objects by it.
    int serial = 0;
    const char* name = "null object";
    float sortKey = 0.0f;
};
