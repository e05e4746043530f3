#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets (or with no value, unsets) an environment variable for one test and
// puts the old value back.
class ScopedEnvironment
{
  public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name(name)
    {
        if (const char* old = std::getenv(name))
            previous = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnvironment()
    {
        if (previous)
            setenv(name, previous->c_str(), 1);
        else
            unsetenv(name);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* name;
    std::optional<std::string> previous;
};
