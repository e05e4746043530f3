#pragma once

#include <string>

// A fresh, empty folder for one test, removed with everything in it when the
// object goes. Paths come back with '/' separators.
class TemporaryFolder
{
  public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return path; }
    // The folder's path joined with a relative name.
    std::string operator/(const std::string& name) const { return path + "/" + name; }

    // Helpers for setting up and checking files by their exact names.
    void WriteText(const std::string& name, const std::string& text) const;
    std::string ReadText(const std::string& name) const;

  private:
    std::string path;
};
