#include <Brio/AddInMgr/AddInMgr.h>
#include <Brio/AddInMgr/IServerAddIn.h>
#include <Brio/Base/OptionGroup.h>
#include <Brio/Base/TextCommand.h>
#include <Brio/DataModel/EntityMetaType.h>
#include <Brio/DataModel/MetaTypeManager.h>
#include <Brio/DataModel/ObjectPath.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassFactory.h>
#include <Lumo/Objects/UString.h>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

using Brio::AddInMgr;
using Lumo::Objects::Intern;

namespace {

const char* const kCameraMetaTypeId = "736DEAAF-2425-405E-B871-003AAB726295";
const char* const kSerializerMetaTypeId = "AE9F7FB5-2798-4BE4-8905-F8FB42A07193";
const wchar_t* const kPrototypes[] = {L"SceneTraversalState", L"VisualStyleAgent", L"FacetOrderAgent",
                                      L"VisibilityAgent",     L"TavexLODAgent",    L"MultiPassFilterAgent",
                                      L"EdgeProcessAgent",    L"SliceCapAgent",    L"SliceAgent"};

std::string Text(const Brio::Status& status) {
    const std::wstring& m = status.message();
    return std::string(m.begin(), m.end());
}

/// Whether anything of the library is still registered with the platform: its meta types,
/// commands, option group, classes the graphics system makes by name, and the walk's hooks.
struct Registrations {
    bool metaTypes, commands, options, prototypes, callbacks;

    static Registrations now() {
        Registrations r{};
        Brio::MetaTypeManager& types = Brio::MetaTypeManager::get();
        r.metaTypes = types.find(kCameraMetaTypeId) || types.find(kSerializerMetaTypeId);
        r.commands =
            Brio::TextCommand::find(L"Scene", L"SyncCounter") || Brio::TextCommand::find(L"Options", L"driver");
        r.options = Brio::OptionGroup::find("GraphicsOptionGroup") != nullptr;
        r.prototypes = false;
        for (const wchar_t* name : kPrototypes)
            r.prototypes = r.prototypes || Lumo::Objects::ClassFactory::Get().IsRegistered(Intern(name));
        const Lumo::Graphics::NodeCallbacks& cb = Lumo::Graphics::NodeCallbacks::Installed();
        r.callbacks = cb.realizeAttributes || cb.realizeWorldBox || cb.realize || cb.applyAttributes ||
                      cb.preRealizePrimitive || cb.beginWalk || cb.endWalk;
        return r;
    }
    bool any() const { return metaTypes || commands || options || prototypes || callbacks; }
};

class Body : public Brio::Object {};

class SceneAddInTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(AddInMgr::isLibraryLoaded(BRIO_SCENE_LIBRARY)) << "the test must not link the library";
    }
    void TearDown() override {
        if (AddInMgr::get().addIn("Scene"))
            AddInMgr::get().unloadAddIn("Scene");
    }
    static void load() {
        const Brio::Status status = AddInMgr::get().loadAddIn("Scene", BRIO_SCENE_LIBRARY, true);
        ASSERT_TRUE(status.isSuccess()) << Text(status);
    }
};

} // namespace

TEST_F(SceneAddInTest, LoadingRegistersTheLibraryAndUnloadingTakesEverythingBack) {
    EXPECT_FALSE(Registrations::now().any());
    // A second round in the same process finds the platform as the first left it.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_NO_FATAL_FAILURE(load());
        EXPECT_TRUE(AddInMgr::get().isCoreAddIn("Scene"));

        Brio::EntityMetaType* camera = Brio::MetaTypeManager::get().find(kCameraMetaTypeId);
        ASSERT_NE(camera, nullptr);
        EXPECT_EQ(camera->name(), "CameraMetaType");
        EXPECT_EQ(camera->addInId(), "Scene");
        EXPECT_NE(Brio::MetaTypeManager::get().find(kSerializerMetaTypeId), nullptr);
        EXPECT_NE(Brio::TextCommand::find(L"Scene", L"SyncCounter"), nullptr);
        EXPECT_NE(Brio::TextCommand::find(L"Options", L"driver"), nullptr);
        std::wstring reply;
        EXPECT_TRUE(Brio::TextCommand::run(L"Scene.SyncCounter", reply)) << "the library's command runs";
        for (const wchar_t* name : kPrototypes)
            EXPECT_TRUE(Lumo::Objects::ClassFactory::Get().IsRegistered(Intern(name))) << name;
        Lumo::Objects::ARefCounted* state = Lumo::Objects::ClassFactory::Get().Create(Intern(L"SceneTraversalState"));
        ASSERT_NE(state, nullptr) << "the graphics system can make the scene's traversal state by name";
        EXPECT_EQ(state->ClassName(), Intern(L"SceneTraversalState"));
        state->AddRef();
        state->ReleaseRef();
        EXPECT_NE(Lumo::Graphics::NodeCallbacks::Installed().realizeAttributes, nullptr);

        const Brio::Status unloaded = AddInMgr::get().unloadAddIn("Scene");
        ASSERT_TRUE(unloaded.isSuccess()) << Text(unloaded);
        const Registrations left = Registrations::now();
        EXPECT_FALSE(left.metaTypes);
        EXPECT_FALSE(left.commands);
        EXPECT_FALSE(left.options);
        EXPECT_FALSE(left.prototypes);
        EXPECT_FALSE(left.callbacks);
        EXPECT_FALSE(AddInMgr::isLibraryLoaded(BRIO_SCENE_LIBRARY)) << "the library left the process";
    }
}

TEST_F(SceneAddInTest, TheEntryAnswersOneAddInThatKnowsItsInterfaces) {
    ASSERT_NO_FATAL_FAILURE(load());
    void* library = dlopen(BRIO_SCENE_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    auto entry = reinterpret_cast<Brio::GetIAddInFunction>(dlsym(library, "GetIAddIn"));
    ASSERT_NE(entry, nullptr);
    Brio::IAddIn* first = entry();
    EXPECT_EQ(entry(), first);
    EXPECT_EQ(AddInMgr::get().addIn("Scene"), first);
    dlclose(library);
    auto* server = static_cast<Brio::IServerAddIn*>(first);
    EXPECT_EQ(server->getInterfaceId(), Brio::IServerAddIn::interfaceId());
    EXPECT_EQ(server->queryInterface(Brio::IAddIn::interfaceId()), first);
}

TEST_F(SceneAddInTest, LoadingMakesTheScenesSelectionKindsPoppable) {
    Brio::StrongRef<Body> body(new Body);
    Brio::ObjectPath path;
    path.push(body.getTarget());
    path.leafClientType(0x40 | 0x8000000);
    ASSERT_NO_FATAL_FAILURE(load());
    EXPECT_TRUE(path.isQualifiedAndPoppable());
    path.leafClientType(0x40 | 0x1);
    EXPECT_FALSE(path.isQualifiedAndPoppable()) << "a kind the scene does not report";
}
