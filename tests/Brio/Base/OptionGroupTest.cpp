#include <Brio/Base/AtomicFile.h>
#include <Brio/Base/BootstrapOptionGroup.h>
#include <Brio/Base/MultiThreadOptionGroup.h>
#include <Brio/Base/Option.h>
#include <Brio/Base/OptionGroup.h>
#include <Brio/Base/PathInfo.h>
#include <Brio/Base/PersistenceOptionGroup.h>
#include <Brio/Base/StringConversion.h>
#include <Brio/Base/StringTable.h>
#include <Brio/Base/XMLDocument.h>

#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <thread>

using namespace Brio;
using BrioTest::ScratchDirectory;

namespace {

enum class Shade : short { eNone = 0, eSharp = 1, eSoft = 2 };

LocalizedString Text(const wchar_t* key, const wchar_t* english) {
    return {L"BrioTest", key, english};
}

/// A group with one option of every persisted kind.
class SampleGroup : public OptionGroup {
public:
    explicit SampleGroup(std::string id = "SampleGroup")
        : OptionGroup(std::move(id), Text(L"SampleUserName", L"Sample"), Text(L"SampleToolTip", L"Sample options")),
          flag("flagId", Text(L"flagUserName", L"Flag"), Text(L"flagToolTip", L"A flag"), *this, true,
               OptionBase::eAdvanced),
          count("countId", Text(L"countUserName", L"Count"), Text(L"countToolTip", L"A count"), *this, 3),
          ratio("ratioId", Text(L"ratioUserName", L"Ratio"), Text(L"ratioToolTip", L"A ratio"), *this, 14.0),
          scale("scaleId", Text(L"scaleUserName", L"Scale"), Text(L"scaleToolTip", L"A scale"), *this, 1.0f),
          name("nameId", Text(L"nameUserName", L"Name"), Text(L"nameToolTip", L"A name"), *this, L"SkyRoom",
               OptionBase::eDeveloper | OptionBase::eRequiresRestart),
          shade("shadeId", Text(L"shadeUserName", L"Shade"), Text(L"shadeToolTip", L"A shade"), *this, Shade::eSharp) {}

    int loads = 0;
    Option<bool> flag;
    Option<int> count;
    Option<double> ratio;
    Option<float> scale;
    Option<std::wstring> name;
    Option<Shade> shade;

protected:
    void postLoad() override { ++loads; }
};

/// Every test works in a folder of its own, never in the user's options.
class OptionGroupTest : public ::testing::Test {
protected:
    void SetUp() override { PathInfo::optionsDirectory(dir.path()); }
    void TearDown() override { PathInfo::optionsDirectory(std::filesystem::path()); }
    ScratchDirectory dir;
};

} // namespace

TEST_F(OptionGroupTest, OptionsDescribeThemselves) {
    SampleGroup g;
    EXPECT_EQ(g.id(), "SampleGroup");
    EXPECT_EQ(g.userName(), L"Sample");
    EXPECT_EQ(OptionGroup::find("SampleGroup"), &g);
    ASSERT_EQ(g.options().size(), 6u);
    EXPECT_EQ(g.options()[0], &g.flag) << "in the order they were made";
    EXPECT_EQ(g.option("nameId"), &g.name);
    EXPECT_EQ(g.option("other"), nullptr);
    EXPECT_EQ(g.name.group(), &g);
    EXPECT_TRUE(g.flag.advanced());
    EXPECT_FALSE(g.flag.developer());
    EXPECT_TRUE(g.name.developer());
    EXPECT_TRUE(g.name.requiresRestart());
    EXPECT_EQ(g.count.toolTip(), L"A count");
    EXPECT_EQ(g.count.defaultText(), "3");

    g.shade.addChoice(Shade::eNone, Text(L"noneName", L"No shade"));
    g.shade.addChoice(Shade::eSoft, Text(L"softName", L"Soft shade"));
    ASSERT_EQ(g.shade.choiceCount(), 2);
    EXPECT_EQ(g.shade.choiceText(1), "2");
    EXPECT_EQ(g.shade.choiceLabel(1), L"Soft shade");
    EXPECT_EQ(g.shade.choiceLabel(2), L"") << "out of range";
    StringTable::setString(L"BrioTest", L"softName", L"Weich");
    EXPECT_EQ(g.shade.choiceLabel(1), L"Weich") << "labels are looked up when shown";
    StringTable::reset();
}

TEST_F(OptionGroupTest, SavedValuesLoadBackIntoAFreshGroup) {
    {
        SampleGroup g;
        EXPECT_EQ(g.persistFile(), dir / "SampleGroup.xml");
        g.flag.value(false);
        g.count.value(-12);
        g.ratio.value(1.0 / 3.0);
        g.scale.value(0.1f);
        g.name.value(L"K\u00fchler \"Raum\" <1>");
        g.shade.value(Shade::eSoft);
        ASSERT_TRUE(g.modified());
        ASSERT_TRUE(g.save().isSuccess());
        EXPECT_FALSE(g.modified());
    }
    SampleGroup g;
    EXPECT_EQ(g.count.value(), 3) << "nothing read yet";
    ASSERT_TRUE(g.load().isSuccess());
    EXPECT_EQ(g.loads, 1);
    EXPECT_FALSE(g.flag.value());
    EXPECT_EQ(g.count.value(), -12);
    EXPECT_EQ(g.ratio.value(), 1.0 / 3.0);
    EXPECT_EQ(g.scale.value(), 0.1f);
    EXPECT_EQ(g.name.value(), L"K\u00fchler \"Raum\" <1>");
    EXPECT_EQ(g.shade.value(), Shade::eSoft);
    EXPECT_FALSE(g.modified()) << "loading is not a change to save";

    XMLDocument doc;
    ASSERT_TRUE(doc.load(g.persistFile()).isSuccess());
    EXPECT_EQ(doc.root().name(), XMLString("Options"));
    XMLNode group = doc.root().child("OptionGroup");
    EXPECT_EQ(group.attribute("id").asStr(), L"SampleGroup");
    EXPECT_EQ(group.childCount(), 6);
    EXPECT_EQ(group.firstChild().attribute("value").asStr(), L"false");
}

TEST_F(OptionGroupTest, GroupsSharingAFileKeepEachOthersValues) {
    const auto shared = dir / "Shared.xml";
    SampleGroup a("GroupA"), b("GroupB");
    a.persistFile(shared);
    b.persistFile(shared);
    a.count.value(1);
    b.count.value(2);
    ASSERT_TRUE(a.save().isSuccess());
    ASSERT_TRUE(b.save().isSuccess());
    a.count.value(10);
    ASSERT_TRUE(a.save().isSuccess()) << "saving again replaces the group's own element";

    SampleGroup a2("GroupA"), b2("GroupB");
    a2.persistFile(shared);
    b2.persistFile(shared);
    ASSERT_TRUE(a2.load().isSuccess());
    ASSERT_TRUE(b2.load().isSuccess());
    EXPECT_EQ(a2.count.value(), 10);
    EXPECT_EQ(b2.count.value(), 2);
    XMLDocument doc;
    ASSERT_TRUE(doc.load(shared).isSuccess());
    EXPECT_EQ(doc.root().childCount(), 2) << "one element per group";
}

TEST_F(OptionGroupTest, ValuesForOptionsNotYetMadeWaitForThemAndAreNeverLost) {
    dir.write("Late.xml", R"(<Options><OptionGroup id="Late">
        <Option id="lateId" value="77"/><Option id="goneId" value="kept"/>
    </OptionGroup></Options>)");
    OptionGroup g("Late", Text(L"k", L"Late"), Text(L"t", L"Late"));
    ASSERT_TRUE(g.load().isSuccess());
    auto late = std::make_unique<Option<int>>("lateId", Text(L"u", L"Late"), Text(L"v", L"Late"), g, 5);
    EXPECT_EQ(late->value(), 77) << "handed the value read before it existed";
    late->value(78);
    late.reset(); // the option goes; its last value stays with the group
    ASSERT_TRUE(g.save().isSuccess());

    OptionGroup g2("Late", Text(L"k", L"Late"), Text(L"t", L"Late"));
    ASSERT_TRUE(g2.load().isSuccess());
    Option<int> lateAgain("lateId", Text(L"u", L"Late"), Text(L"v", L"Late"), g2, 5);
    Option<std::wstring> gone("goneId", Text(L"u", L"Gone"), Text(L"v", L"Gone"), g2, L"");
    EXPECT_EQ(lateAgain.value(), 78);
    EXPECT_EQ(gone.value(), L"kept");
}

TEST_F(OptionGroupTest, ListenersHearOnlyRealChanges) {
    SampleGroup g;
    int flagCalls = 0, groupCalls = 0;
    std::string lastGroupId;
    const int id = g.flag.addListener([&](OptionBase& o) {
        ++flagCalls;
        EXPECT_EQ(&o, &g.flag);
        EXPECT_FALSE(g.flag.value()) << "told after the value is stored";
    });
    g.addListener([&](OptionBase& o) {
        ++groupCalls;
        lastGroupId = o.id();
    });
    EXPECT_EQ(g.flag.addListener(nullptr), 0);

    EXPECT_FALSE(g.flag.value(true)) << "already true";
    EXPECT_EQ(flagCalls + groupCalls, 0) << "setting the current value notifies nobody";
    EXPECT_FALSE(g.modified());
    EXPECT_TRUE(g.flag.value(false));
    EXPECT_EQ(flagCalls, 1);
    EXPECT_EQ(groupCalls, 1);
    EXPECT_TRUE(g.modified());

    g.count.value(9);
    EXPECT_EQ(flagCalls, 1);
    EXPECT_EQ(groupCalls, 2);
    EXPECT_EQ(lastGroupId, "countId");

    // A load tells the listeners of what it changes, and nothing else.
    ASSERT_TRUE(g.save().isSuccess());
    g.count.value(3);
    groupCalls = 0;
    ASSERT_TRUE(g.load().isSuccess());
    EXPECT_EQ(g.count.value(), 9);
    EXPECT_EQ(groupCalls, 1);

    EXPECT_TRUE(g.flag.removeListener(id));
    EXPECT_FALSE(g.flag.removeListener(id));
    g.flag.value(true);
    EXPECT_EQ(flagCalls, 1);
}

TEST_F(OptionGroupTest, ResetAndDefaultText) {
    SampleGroup g;
    g.ratio.value(2.0);
    g.name.value(L"x");
    EXPECT_FALSE(g.ratio.isDefault());
    g.resetToDefaults();
    EXPECT_TRUE(g.ratio.isDefault());
    EXPECT_EQ(g.name.value(), L"SkyRoom");
    EXPECT_EQ(g.ratio.valueText(), "14");
}

TEST_F(OptionGroupTest, UnreadableValuesKeepTheCurrentValueAndAreNamed) {
    dir.write("SampleGroup.xml", R"(<Options><OptionGroup id="SampleGroup">
        <Option id="countId" value="12abc"/>
        <Option id="flagId" value="yes"/>
        <Option id="shadeId" value="70000"/>
        <Option id="ratioId" value="2.5"/>
        <Option id="scaleId"/>
        <Unrelated id="nameId" value="x"/>
    </OptionGroup></Options>)");
    SampleGroup g;
    Status s = g.load();
    EXPECT_TRUE(s.isWarning());
    EXPECT_NE(s.message().find(L"countId"), std::wstring::npos);
    EXPECT_NE(s.message().find(L"flagId"), std::wstring::npos);
    EXPECT_NE(s.message().find(L"shadeId"), std::wstring::npos) << "out of the enumeration's range";
    EXPECT_EQ(s.message().find(L"ratioId"), std::wstring::npos);
    EXPECT_EQ(g.count.value(), 3);
    EXPECT_TRUE(g.flag.value());
    EXPECT_EQ(g.shade.value(), Shade::eSharp);
    EXPECT_EQ(g.ratio.value(), 2.5) << "the readable values are taken";
    EXPECT_EQ(g.scale.value(), 1.0f);
    EXPECT_EQ(g.name.value(), L"SkyRoom");
}

TEST_F(OptionGroupTest, MissingOrMalformedFilesNeverLoseValues) {
    SampleGroup g;
    g.count.value(8);
    EXPECT_TRUE(g.load().isSuccess()) << "no file yet: nothing to read";
    EXPECT_EQ(g.loads, 1) << "postLoad runs all the same";
    EXPECT_EQ(g.count.value(), 8);

    const auto file = dir.write("SampleGroup.xml", "<Options><OptionGroup id=\"SampleGroup\"><Option id=");
    Status s = g.load();
    EXPECT_TRUE(s.failed());
    EXPECT_NE(s.message().find(L"SampleGroup.xml"), std::wstring::npos);
    EXPECT_EQ(g.count.value(), 8);

    dir.write("SampleGroup.xml", "<Preferences/>");
    EXPECT_TRUE(g.load().failed()) << "not an options file";

    // Saving over a file that cannot be read keeps it aside.
    dir.write("SampleGroup.xml", "<Options><broken");
    s = g.save();
    EXPECT_TRUE(s.isWarning());
    EXPECT_NE(s.message().find(L".corrupt"), std::wstring::npos);
    EXPECT_EQ(ScratchDirectory::read(dir / "SampleGroup.xml.corrupt"), "<Options><broken");
    SampleGroup back;
    ASSERT_TRUE(back.load().isSuccess());
    EXPECT_EQ(back.count.value(), 8);
}

TEST_F(OptionGroupTest, SaveModifiedWritesOnlyChangedGroups) {
    SampleGroup changed("Changed"), untouched("Untouched");
    changed.count.value(4);
    ASSERT_TRUE(OptionGroup::saveModified().isSuccess());
    EXPECT_TRUE(std::filesystem::exists(dir / "Changed.xml"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Untouched.xml"));
    EXPECT_FALSE(changed.modified());
}

TEST_F(OptionGroupTest, SaveIntoAFolderThatCannotBeMadeIsAnError) {
    SampleGroup g;
    dir.write("file", "x");
    g.persistFile(dir / "file" / "SampleGroup.xml");
    g.count.value(1);
    EXPECT_TRUE(g.save().failed());
    EXPECT_TRUE(g.modified()) << "still unsaved";
}

TEST_F(OptionGroupTest, AFailedSaveKeepsTheOptionsFileAsItWas) {
    SampleGroup g;
    g.count.value(5);
    ASSERT_TRUE(g.save().isSuccess());
    const std::string saved = ScratchDirectory::read(g.persistFile());
    g.count.value(6);
    for (AtomicFile::EStep step : {AtomicFile::eCreate, AtomicFile::eWrite, AtomicFile::eFlush, AtomicFile::eRename}) {
        AtomicFile::failureHook(
            [step](AtomicFile::EStep now, const std::filesystem::path&) { return now == step ? ENOSPC : 0; });
        const Status s = g.save();
        AtomicFile::failureHook({});
        EXPECT_TRUE(s.failed()) << step;
        EXPECT_NE(s.message().find(g.persistFile().wstring()), std::wstring::npos) << Utility::toUtf8(s.message());
        EXPECT_NE(s.message().find(L"No space left on device"), std::wstring::npos) << Utility::toUtf8(s.message());
        EXPECT_EQ(ScratchDirectory::read(g.persistFile()), saved) << step;
        EXPECT_TRUE(g.modified()) << "still unsaved";
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary left";
    }
    ASSERT_TRUE(g.save().isSuccess());
    SampleGroup back;
    ASSERT_TRUE(back.load().isSuccess());
    EXPECT_EQ(back.count.value(), 6) << "the values in memory were kept for the next save";
}

TEST_F(OptionGroupTest, OptionsDirectoryOverrideAndEnvironment) {
    EXPECT_EQ(PathInfo::optionsDirectory(0), dir.path());
    PathInfo::optionsDirectory(std::filesystem::path());
    setenv("BRIOSCENE_OPTIONS_DIR", (dir / "env").c_str(), 1);
    EXPECT_EQ(PathInfo::optionsDirectory(0), dir / "env");
    EXPECT_FALSE(std::filesystem::exists(dir / "env"));
    EXPECT_EQ(PathInfo::optionsDirectory(1), dir / "env");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "env")) << "made on request";
    unsetenv("BRIOSCENE_OPTIONS_DIR");
    EXPECT_NE(PathInfo::optionsDirectory(0), dir / "env");
}

TEST_F(OptionGroupTest, ValuesAreReadAndWrittenFromManyThreads) {
    SampleGroup g;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                g.name.value(t % 2 ? L"short" : L"a rather longer text that does not fit inline");
                g.count.value(i);
                (void)g.name.value();
                (void)g.count.valueText();
            }
        });
    for (auto& t : threads)
        t.join();
    const std::wstring name = g.name.value();
    EXPECT_TRUE(name == L"short" || name == L"a rather longer text that does not fit inline");
}

TEST_F(OptionGroupTest, HostGroupsAreRegisteredWithTheirDefaults) {
    MultiThreadOptionGroup* mt = MultiThreadOptionGroup::get();
    EXPECT_EQ(MultiThreadOptionGroup::get(), mt);
    EXPECT_EQ(OptionGroup::find("MultiThreadOptionGroup"), mt);
    EXPECT_FALSE(mt->multiThreadLumo());
    EXPECT_FALSE(mt->multiThreadBatchFacet());
    mt->multiThreadLumo(true);
    EXPECT_TRUE(mt->multiThreadLumo());
    mt->multiThreadLumo(false);
    PersistenceOptionGroup* persistence = PersistenceOptionGroup::get();
    EXPECT_EQ(OptionGroup::find("PersistenceOptionGroup"), persistence);
    EXPECT_FALSE(persistence->persistLumo());
    ASSERT_NE(persistence->option("persistLumoId"), nullptr);
    EXPECT_EQ(OptionGroup::find("BootstrapOptionGroup"), BootstrapOptionGroup::get());
    EXPECT_EQ(BootstrapOptionGroup::get()->persistFile(), dir / "BootstrapOptions.xml");
}
