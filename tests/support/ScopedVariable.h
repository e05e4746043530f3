#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets an environment variable (or removes it, for none) while it lives,
// and puts back what it was.
class ScopedVariable
{
  public:
    ScopedVariable(const char* name, const char* value) : name(name)
    {
        if (const char* old = std::getenv(name))
            saved = old;
        Set(value);
    }
    ScopedVariable(const char* name, const std::optional<std::string>& value)
        : ScopedVariable(name, value ? value->c_str() : nullptr)
    {
    }
    ~ScopedVariable() { Set(saved ? saved->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

    void Set(const char* value) const
    {
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }

  private:
    const char* name;
    std::optional<std::string> saved;
};
