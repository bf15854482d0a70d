#pragma once
#include <Lumo/Objects/ARefCounted.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace LumoDevicesTest {

/// Fails the test when counted objects made during a scope outlive it.
class LiveObjects {
public:
    LiveObjects() : m_start(Lumo::Objects::ARefCounted::NetObjectCount()) {}
    ~LiveObjects() { EXPECT_EQ(Lumo::Objects::ARefCounted::NetObjectCount(), m_start) << "counted objects leaked"; }

private:
    int m_start;
};

/// A private folder for the files a test writes, removed afterwards.
class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::filesystem::temp_directory_path() /
                 ("LumoDevicesTest-" + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    std::wstring WFile(const std::string& name) const { return (m_path / name).wstring(); }

private:
    std::filesystem::path m_path;
};

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace LumoDevicesTest
