#include <Brio/AddInMgr/AddInMgr.h>
#include <Brio/AddInMgr/IServerAddIn.h>
#include <Brio/Base/TextCommand.h>
#include <Brio/Base/UniqueString.h>

#include <gtest/gtest.h>

using Brio::AddInMgr;
using Brio::Status;

namespace {

bool HasProbe(const wchar_t* name) {
    return Brio::TextCommand::find(L"Fixture", name) != nullptr;
}

} // namespace

TEST(AddInMgrTest, KnowsWhichAddInsAreCore) {
    AddInMgr& addIns = AddInMgr::get();
    EXPECT_FALSE(addIns.isKnown("Sketch"));
    EXPECT_FALSE(addIns.isCoreAddIn("Sketch")) << "an unknown add-in is not core";
    EXPECT_TRUE(addIns.registerAddIn("Sketch", false));
    EXPECT_TRUE(addIns.registerAddIn("Core", true));
    EXPECT_FALSE(addIns.registerAddIn("Sketch", true)) << "a known add-in keeps what it was";
    EXPECT_FALSE(addIns.registerAddIn("", true));
    EXPECT_TRUE(addIns.isKnown("Sketch"));
    EXPECT_FALSE(addIns.isCoreAddIn("Sketch"));
    EXPECT_TRUE(addIns.isCoreAddIn("Core"));
    EXPECT_EQ(addIns.addInIds(), (std::vector<std::string>{"Core", "Sketch"}));
    EXPECT_TRUE(addIns.unregisterAddIn("Core"));
    EXPECT_FALSE(addIns.unregisterAddIn("Core"));
    EXPECT_FALSE(addIns.isCoreAddIn("Core"));
    addIns.unregisterAddIn("Sketch");
}

TEST(AddInMgrTest, LoadsAnAddInLibraryAndUnloadsItAgain) {
    AddInMgr& addIns = AddInMgr::get();
    ASSERT_FALSE(AddInMgr::isLibraryLoaded(BRIO_TEST_ADDIN));
    // Twice in one process: the second load must find the library's statics made afresh.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const Status loaded = addIns.loadAddIn("Fixture", BRIO_TEST_ADDIN, true);
        ASSERT_TRUE(loaded.isSuccess()) << std::string(loaded.message().begin(), loaded.message().end());
        EXPECT_TRUE(AddInMgr::isLibraryLoaded(BRIO_TEST_ADDIN));
        EXPECT_TRUE(addIns.isKnown("Fixture"));
        EXPECT_TRUE(addIns.isCoreAddIn("Fixture"));
        EXPECT_EQ(addIns.libraryPath("Fixture"), BRIO_TEST_ADDIN);
        EXPECT_NE(addIns.addIn("Fixture"), nullptr);
        EXPECT_TRUE(HasProbe(L"Mapped")) << "the library's statics were made";
        EXPECT_TRUE(HasProbe(L"Loaded")) << "the add-in's load ran";
        EXPECT_FALSE(addIns.unregisterAddIn("Fixture")) << "only unloading forgets a loaded add-in";

        EXPECT_TRUE(addIns.unloadAddIn("Fixture").isSuccess());
        EXPECT_FALSE(HasProbe(L"Loaded"));
        EXPECT_FALSE(HasProbe(L"Mapped")) << "the library's statics were destroyed";
        EXPECT_FALSE(AddInMgr::isLibraryLoaded(BRIO_TEST_ADDIN));
        EXPECT_FALSE(addIns.isKnown("Fixture"));
        EXPECT_EQ(addIns.addIn("Fixture"), nullptr);
        EXPECT_TRUE(addIns.libraryPath("Fixture").empty());
    }
}

TEST(AddInMgrTest, AnAddInAnswersForItsInterfaces) {
    AddInMgr& addIns = AddInMgr::get();
    ASSERT_TRUE(addIns.loadAddIn("Fixture", BRIO_TEST_ADDIN).isSuccess());
    Brio::IAddIn* addIn = addIns.addIn("Fixture");
    ASSERT_NE(addIn, nullptr);
    EXPECT_EQ(addIn->toString(), L"Brio::IAddIn");
    auto* server = static_cast<Brio::IServerAddIn*>(addIn);
    EXPECT_EQ(server->getInterfaceId(), Brio::UniqueString::find("Brio::IServerAddIn"));
    EXPECT_EQ(server->queryInterface(Brio::IServerAddIn::interfaceId()), server);
    EXPECT_EQ(server->queryInterface(Brio::IAddIn::interfaceId()), addIn);
    EXPECT_EQ(server->queryInterface(Brio::UniqueString::find("Brio::ISketchAddIn")), nullptr);
    EXPECT_EQ(server->queryInterface(nullptr), nullptr);
    EXPECT_FALSE(addIns.isCoreAddIn("Fixture"));
    EXPECT_TRUE(addIns.unloadAddIn("Fixture").isSuccess());
}

TEST(AddInMgrTest, ReportsWhyALibraryCannotBeLoaded) {
    AddInMgr& addIns = AddInMgr::get();
    const std::string missing = std::string(BRIO_TEST_ADDIN) + ".missing";
    Status status = addIns.loadAddIn("Missing", missing);
    EXPECT_EQ(status.code(), AddInMgr::eNoLibrary);
    EXPECT_TRUE(status.isError());
    EXPECT_NE(status.message().find(L".missing"), std::wstring::npos) << "the loader names the file";
    EXPECT_FALSE(addIns.isKnown("Missing"));

    // A library without the entry: one the test links anyway, so it stays mapped.
    status = addIns.loadAddIn("NoEntry", BRIO_BASE_LIBRARY);
    EXPECT_EQ(status.code(), AddInMgr::eNoEntry);
    EXPECT_NE(status.message().find(L"GetIAddIn"), std::wstring::npos);
    EXPECT_FALSE(addIns.isKnown("NoEntry"));

    status = addIns.loadAddIn("NoAddIn", BRIO_TEST_ADDIN_NO_ADDIN);
    EXPECT_EQ(status.code(), AddInMgr::eNoAddIn);
    EXPECT_FALSE(AddInMgr::isLibraryLoaded(BRIO_TEST_ADDIN_NO_ADDIN)) << "closed again";

    status = addIns.loadAddIn("FailLoad", BRIO_TEST_ADDIN_FAIL_LOAD);
    EXPECT_EQ(status.code(), AddInMgr::eLoadFailed);
    EXPECT_FALSE(addIns.isKnown("FailLoad"));
    EXPECT_FALSE(AddInMgr::isLibraryLoaded(BRIO_TEST_ADDIN_FAIL_LOAD)) << "closed again";
    EXPECT_FALSE(HasProbe(L"Mapped"));
}

TEST(AddInMgrTest, RefusesIdsThatCannotBeRegistered) {
    AddInMgr& addIns = AddInMgr::get();
    EXPECT_EQ(addIns.loadAddIn("", BRIO_TEST_ADDIN).code(), AddInMgr::eBadId);
    ASSERT_TRUE(addIns.registerAddIn("Taken", false));
    EXPECT_EQ(addIns.loadAddIn("Taken", BRIO_TEST_ADDIN).code(), AddInMgr::eBadId);
    EXPECT_FALSE(AddInMgr::isLibraryLoaded(BRIO_TEST_ADDIN)) << "never opened for an id that is taken";
    EXPECT_EQ(addIns.unloadAddIn("Taken").code(), AddInMgr::eNotLoaded) << "registered, but not loaded here";
    EXPECT_TRUE(addIns.isKnown("Taken"));
    addIns.unregisterAddIn("Taken");
    EXPECT_EQ(addIns.unloadAddIn("Nobody").code(), AddInMgr::eNotLoaded);
}

TEST(AddInMgrTest, ALibraryIsLoadedUnderOneIdOnly) {
    AddInMgr& addIns = AddInMgr::get();
    ASSERT_TRUE(addIns.loadAddIn("Fixture", BRIO_TEST_ADDIN).isSuccess());
    const Status again = addIns.loadAddIn("FixtureAgain", BRIO_TEST_ADDIN);
    EXPECT_EQ(again.code(), AddInMgr::eAlreadyLoaded);
    EXPECT_NE(again.message().find(L"Fixture"), std::wstring::npos) << "names the id it is loaded under";
    EXPECT_FALSE(addIns.isKnown("FixtureAgain"));
    EXPECT_TRUE(addIns.unloadAddIn("Fixture").isSuccess());
    EXPECT_FALSE(AddInMgr::isLibraryLoaded(BRIO_TEST_ADDIN)) << "the refused load left no reference behind";
}

TEST(AddInMgrTest, AnAddInThatFailsToUnloadStaysLoaded) {
    AddInMgr& addIns = AddInMgr::get();
    ASSERT_TRUE(addIns.loadAddIn("Stubborn", BRIO_TEST_ADDIN_REFUSE_FIRST_UNLOAD).isSuccess());
    EXPECT_EQ(addIns.unloadAddIn("Stubborn").code(), AddInMgr::eUnloadFailed);
    EXPECT_TRUE(addIns.isKnown("Stubborn"));
    EXPECT_NE(addIns.addIn("Stubborn"), nullptr);
    EXPECT_TRUE(AddInMgr::isLibraryLoaded(BRIO_TEST_ADDIN_REFUSE_FIRST_UNLOAD));
    EXPECT_TRUE(HasProbe(L"Loaded"));
    EXPECT_TRUE(addIns.unloadAddIn("Stubborn").isSuccess());
    EXPECT_FALSE(AddInMgr::isLibraryLoaded(BRIO_TEST_ADDIN_REFUSE_FIRST_UNLOAD));
}

TEST(AddInMgrTest, ALibraryThatIsNotMappedIsNotOpenedByAsking) {
    EXPECT_FALSE(AddInMgr::isLibraryLoaded(BRIO_TEST_ADDIN));
    EXPECT_FALSE(AddInMgr::isLibraryLoaded(BRIO_TEST_ADDIN)) << "asking left nothing mapped";
    EXPECT_FALSE(AddInMgr::isLibraryLoaded("/nonexistent/libNothing.so"));
    EXPECT_TRUE(AddInMgr::isLibraryLoaded(BRIO_BASE_LIBRARY));
}
