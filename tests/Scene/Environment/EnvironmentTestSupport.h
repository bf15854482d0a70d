#pragma once
// Shared by the environment tests: a private resource folder to write definitions into, the
// process-wide manager pointed at it for the length of a test, and a draw context on a
// device of data.
#include "../View/OptionsTestSupport.h"

#include <Brio/Base/StringTable.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Environment/Environment.h>
#include <Scene/Environment/EnvironmentManager.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace EnvironmentTest {

namespace fs = std::filesystem;

/// A resource folder of the test's own ("Environments/<id>/..."), removed afterwards.
class ResourceFolder {
public:
    ResourceFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = fs::temp_directory_path() /
                 ("BrioEnvTest-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~ResourceFolder() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }
    fs::path environment(const std::string& id) const { return m_path / "Environments" / id; }
    /// Writes text to a file below the folder, making its folders.
    void write(const fs::path& relative, const std::string& text) const {
        const fs::path file = m_path / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    /// An environment definition "<id>.xml" whose root holds body.
    void define(const std::string& id, const std::string& body) const {
        write(fs::path("Environments") / id / (id + ".xml"), "<" + id + ">" + body + "</" + id + ">");
    }

private:
    fs::path m_path;
};

/// Graphics options at their defaults and the process-wide manager reading from a folder of
/// the test's own, with no environment loaded; both are put back afterwards.
class EnvironmentManagerTest : public SceneTest::GraphicsOptionsTest {
protected:
    void SetUp() override {
        GraphicsOptionsTest::SetUp();
        Brio::StringTable::locale(L"en-US");
        manager = Brio::Scene::EnvironmentManager::getEnvManager();
        previous = manager->resourceDirectory();
        manager->release();
        manager->resourceDirectory(folder.path());
    }
    void TearDown() override {
        manager->release();
        manager->resourceDirectory(previous);
        Brio::StringTable::locale(L"");
        GraphicsOptionsTest::TearDown();
    }

    ResourceFolder folder;
    Brio::Scene::EnvironmentManager* manager = nullptr;
    fs::path previous;
};

/// A draw context on a device of data (no graphics context needed).
inline Lumo::Objects::AutoPtr<Lumo::Devices::ADrawContext> DataContext() {
    Lumo::Objects::AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    return Lumo::Devices::ADrawContext::Make(device);
}

inline void ExpectColor(const Brio::Color& c, float r, float g, float b, float a) {
    EXPECT_FLOAT_EQ(c.red(), r);
    EXPECT_FLOAT_EQ(c.green(), g);
    EXPECT_FLOAT_EQ(c.blue(), b);
    EXPECT_FLOAT_EQ(c.alpha(), a);
}

} // namespace EnvironmentTest
