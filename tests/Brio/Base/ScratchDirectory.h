#pragma once
// A fresh folder per test, removed afterwards, so that tests never read or write the user's
// own files and never see each other's.
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace BrioTest {

class ScratchDirectory {
public:
    ScratchDirectory() {
        static int s_count = 0;
        m_path = std::filesystem::temp_directory_path() /
                 ("brio-test-" + std::to_string(::getpid()) + "-" + std::to_string(++s_count));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchDirectory() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

    /// Writes text to a file below the folder, making its folders.
    std::filesystem::path write(const std::string& name, const std::string& text) const {
        std::filesystem::path file = m_path / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    static std::string read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_path;
};

} // namespace BrioTest
