#pragma once

// Files for the tests that write and read them.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace cva::test {

// A directory under the system's temporary directory, removed at the end.
class TempDir {
public:
    TempDir()
    {
        std::random_device device;
        Path = std::filesystem::temp_directory_path() /
               ("corvanta-test-" + std::to_string(device()) + std::to_string(device()));
        std::filesystem::create_directories(Path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(Path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::filesystem::path Path;
};

inline std::string ReadAll(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void WriteAll(const std::filesystem::path &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

} // namespace cva::test
