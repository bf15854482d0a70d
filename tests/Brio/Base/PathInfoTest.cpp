#include <Brio/Base/PathInfo.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace fs = std::filesystem;
using Brio::PathInfo;

namespace {

/// Sets or clears the resource override for one test and restores what was there.
class ResourceRootOverride {
public:
    explicit ResourceRootOverride(const char* value) {
        if (const char* old = std::getenv("BRIOSCENE_RESOURCE_ROOT"))
            m_old = old;
        if (value)
            setenv("BRIOSCENE_RESOURCE_ROOT", value, 1);
        else
            unsetenv("BRIOSCENE_RESOURCE_ROOT");
    }
    ~ResourceRootOverride() {
        if (m_old)
            setenv("BRIOSCENE_RESOURCE_ROOT", m_old->c_str(), 1);
        else
            unsetenv("BRIOSCENE_RESOURCE_ROOT");
    }

private:
    std::optional<std::string> m_old;
};

} // namespace

TEST(PathInfoTest, CoreAddInDirectoryHoldsTheBaseLibrary) {
    const fs::path dir = PathInfo::coreAddInDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(dir.is_absolute());
    bool found = false;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().rfind("libBrioBase10.so", 0) == 0)
            found = true;
    EXPECT_TRUE(found) << dir;
}

TEST(PathInfoTest, LocalizationDirectoryIsShareBesideTheLibrary) {
    ResourceRootOverride none(nullptr);
    const fs::path expected = (PathInfo::coreAddInDirectory() / ".." / "share" / "brioscene").lexically_normal();
    EXPECT_EQ(PathInfo::localizationDirectory(), expected);
    EXPECT_EQ(PathInfo::sceneResourceDirectory(), expected / "Server" / "Scene" / "Resources");
}

TEST(PathInfoTest, EnvironmentOverrideWinsAndEmptyIsIgnored) {
    {
        ResourceRootOverride root("/tmp/brio-resources");
        EXPECT_EQ(PathInfo::localizationDirectory(), fs::path("/tmp/brio-resources"));
        EXPECT_EQ(PathInfo::sceneResourceDirectory(), fs::path("/tmp/brio-resources/Server/Scene/Resources"));
    }
    ResourceRootOverride empty("");
    EXPECT_EQ(PathInfo::localizationDirectory(),
              (PathInfo::coreAddInDirectory() / ".." / "share" / "brioscene").lexically_normal());
}
