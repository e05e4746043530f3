#include "TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

TemporaryFolder::TemporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "qs-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    // remove_all removes symbolic links themselves, never their targets.
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void TemporaryFolder::WriteText(const std::string& name, const std::string& text) const
{
    std::ofstream file(*this / name, std::ios::binary);
    file << text;
}

std::string TemporaryFolder::ReadText(const std::string& name) const
{
    std::ifstream file(*this / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
