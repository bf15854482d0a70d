#pragma once
// Scene tests never read or write the user's options: the process gets a scratch options
// folder before any test can load the graphics options, and each test starts from defaults.
#include <Brio/Base/BootstrapOptionGroup.h>
#include <Brio/Base/PathInfo.h>
#include <Scene/View/GraphicsOptionGroup.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

namespace SceneTest {

class ScratchOptionsDirectory {
public:
    ScratchOptionsDirectory()
        : m_path(std::filesystem::temp_directory_path() / ("brioscene-options-" + std::to_string(::getpid()))) {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
        std::filesystem::create_directories(m_path, ec);
        Brio::PathInfo::optionsDirectory(m_path);
    }
    ~ScratchOptionsDirectory() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline ScratchOptionsDirectory g_scratchOptions;

/// Graphics options at their defaults, with no options file, for each test.
class GraphicsOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& e : std::filesystem::directory_iterator(g_scratchOptions.path()))
            std::filesystem::remove_all(e.path());
        options = Brio::Scene::GraphicsOptionGroup::get();
        options->resetToDefaults();
        Brio::BootstrapOptionGroup::get()->resetToDefaults();
        options->supremeAggressiveConsolidation(false);
        options->workingDriver(L"");
    }
    void TearDown() override { options->resetToDefaults(); }

    Brio::Scene::GraphicsOptionGroup* options = nullptr;
};

} // namespace SceneTest
