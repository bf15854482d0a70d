#pragma once
// Shared by the effect attribute tests: a data-only device with a draw context, and a
// fixture that starts and ends each test with an empty effect instance cache and an
// unloaded material library, so tests do not see one another's shared instances.
#include "../TestSupport.h"

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Devices/StateSetter.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Scene/Attributes/AmbraManager.h>
#include <Scene/Attributes/EffectInstanceCache.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>

namespace SceneTest {

inline void ResetSharedEffects() {
    Lumo::Scene::EffectInstanceCache::Destroy();
    Brio::AmbraManager::GetAmbraManager(false)->ReleaseLib();
}

/// A device and draw context per test; every counted graphics object made during the test
/// (instances, states, textures, the device) must be gone when it ends.
class EffectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSharedEffects();
        m_liveAtStart = Lumo::Objects::ARefCounted::NetObjectCount();
        device = Lumo::Devices::VirtualDevice::Make(nullptr);
        dc = Lumo::Devices::ADrawContext::Make(device);
    }
    void TearDown() override {
        dc = nullptr;
        device = nullptr;
        ResetSharedEffects();
        EXPECT_EQ(Lumo::Objects::ARefCounted::NetObjectCount(), m_liveAtStart) << "graphics objects leaked";
    }

    LiveObjectGuard m_attributes;
    AutoPtr<Lumo::Devices::VirtualDevice> device;
    AutoPtr<Lumo::Devices::ADrawContext> dc;

private:
    int m_liveAtStart = 0;
};

/// The cull mode an instance's rasterizer override sets, if it has one.
inline std::optional<Lumo::Devices::ECull> OverriddenCull(const Lumo::Devices::EffectInstance* ei) {
    if (!ei || !ei->StateOverrides() || !ei->StateOverrides()->Rasterizer())
        return std::nullopt;
    return ei->StateOverrides()->Rasterizer()->CullMode();
}

/// A private folder for the files a test writes, removed afterwards.
class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::filesystem::temp_directory_path() /
                 ("SceneEffectTest-" + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& Path() const { return m_path; }
    /// Writes text to a file below the folder, making its parent folders.
    std::filesystem::path Write(const std::filesystem::path& relative, const std::string& text) const {
        std::filesystem::path file = m_path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }

private:
    std::filesystem::path m_path;
};

/// Points the resource root at a folder for one scope and restores what was there.
class ResourceRoot {
public:
    explicit ResourceRoot(const std::filesystem::path& root) {
        if (const char* old = std::getenv("BRIOSCENE_RESOURCE_ROOT"))
            m_old = old;
        setenv("BRIOSCENE_RESOURCE_ROOT", root.c_str(), 1);
        ResetSharedEffects();
    }
    ~ResourceRoot() {
        if (m_old)
            setenv("BRIOSCENE_RESOURCE_ROOT", m_old->c_str(), 1);
        else
            unsetenv("BRIOSCENE_RESOURCE_ROOT");
        ResetSharedEffects();
    }

private:
    std::optional<std::string> m_old;
};

} // namespace SceneTest
