#include "support/Eventually.h"

#include <thread>

bool WaitUntil(const std::function<bool()>& happened, const std::function<bool()>& hopeless,
               std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!happened()) {
        // What "hopeless" saw may have come with the event: one more look.
        if ((hopeless && hopeless()) || std::chrono::steady_clock::now() >= deadline)
            return happened();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
