#include "QueuedInput.h"

#include "platform/Window.h"

namespace Msg = Platform::Message;

void QueuedInput::Send(uint32_t message, uint32_t wParam, uint32_t lParam)
{
    app.QueueMessage(nullptr, message, wParam, lParam);
    app.ProcessInputQueue();
}

void QueuedInput::Move(int x, int y)
{
    Send(Msg::MouseMove, 0, Platform::PackPoint(x, y));
}

void QueuedInput::Press(int x, int y)
{
    Send(Msg::LeftButtonDown, 0, Platform::PackPoint(x, y));
}

void QueuedInput::Release(int x, int y)
{
    Send(Msg::LeftButtonUp, 0, Platform::PackPoint(x, y));
}

void QueuedInput::DoubleClick(int x, int y)
{
    Send(Msg::LeftButtonDoubleClick, 0, Platform::PackPoint(x, y));
}

void QueuedInput::RightClick(int x, int y)
{
    Send(Msg::RightButtonDown, 0, Platform::PackPoint(x, y));
    Send(Msg::RightButtonUp, 0, Platform::PackPoint(x, y));
}

void QueuedInput::Click(int x, int y)
{
    Move(x, y);
    Press(x, y);
    Release(x, y);
}

void QueuedInput::KeyDown(uint32_t virtualKey)
{
    Send(Msg::KeyDown, virtualKey, 0);
    Send(Msg::KeyUp, virtualKey, 0);
}

void QueuedInput::Type(const std::string& text)
{
    for (char c : text)
        Char(static_cast<unsigned char>(c));
}

void QueuedInput::Char(uint32_t character)
{
    Send(Msg::Char, character, 0);
}
