#pragma once

#include "app/Gadget.h"

#include <string>
#include <vector>

// A gadget that writes down every handler call it gets, as "down 10,10 -1",
// "drag 12,11", "up -9999,-9999 -1", "enter", "key 65" and the like.
class RecordingGadget : public Gadget
{
  public:
    RecordingGadget(float x, float y, float w, float h) { SetRect(x, y, w, h); }

    void MouseMove(int x, int y) override { Note("move", x, y); }
    void MouseDown(int x, int y, int button) override { Note("down", x, y, button); }
    void DoubleClick(int x, int y, int button) override { Note("double", x, y, button); }
    void MouseUp(int x, int y, int button) override { Note("up", x, y, button); }
    void MouseWheel(int delta) override { log.push_back("wheel " + std::to_string(delta)); }
    void DragStart(int x, int y) override
    {
        Note("dragstart", x, y);
        if (refuseDrag)
            EndDrag();
    }
    void Drag(int x, int y) override { Note("drag", x, y); }
    void DragEnd(int x, int y) override { Note("dragend", x, y); }
    void MouseEnter() override { log.push_back("enter"); }
    void MouseExit() override { log.push_back("exit"); }
    void KeyDown(int key) override { log.push_back("key " + std::to_string(key)); }
    void KeyUp(int key) override { log.push_back("keyup " + std::to_string(key)); }
    void Char(int character) override { log.push_back("char " + std::to_string(character)); }
    void Notify(Object*) override { log.push_back("notify"); }

    // The calls since the last Take, and forgets them.
    std::vector<std::string> Take()
    {
        std::vector<std::string> taken;
        taken.swap(log);
        return taken;
    }

    std::vector<std::string> log;
    bool refuseDrag = false;

  private:
    void Note(const char* what, int x, int y)
    {
        log.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void Note(const char* what, int x, int y, int button)
    {
        log.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y) + " " +
                      std::to_string(button));
    }
};
