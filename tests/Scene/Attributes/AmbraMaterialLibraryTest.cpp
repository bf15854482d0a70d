#include "EffectTestSupport.h"

#include <Brio/Base/PathInfo.h>
#include <Brio/Base/StringConversion.h>
#include <Lumo/Devices/BasicMaterialEffectInstance.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/AmbraEffectAttribute.h>
#include <Scene/Attributes/AmbraTranslator.h>

#include <algorithm>

using namespace Lumo::Scene;
using namespace SceneTest;
using Brio::AmbraManager;
using Lumo::Devices::BasicMaterialEffectInstance;
using Lumo::Devices::EffectInstance;
using Lumo::Objects::Intern;
using Lumo::Objects::QueryInterface;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

namespace {
constexpr const char* kLibraryFile = "Server/Scene/Resources/Materials/MaterialLibrary.xml";

BasicMaterialEffectInstance* Material(EffectInstance* ei) {
    return QueryInterface<BasicMaterialEffectInstance>(ei);
}

AutoPtr<AmbraEffectAttribute> Library(const wchar_t* id) {
    return AmbraEffectAttribute::Make(Intern(id), false, vec4<float>(), 1.0f, 0.0f);
}

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}
} // namespace

using AmbraMaterialLibraryTest = EffectTest;

TEST_F(AmbraMaterialLibraryTest, ShippedLibraryLoadsCleanlyBesideTheLibrary) {
    AmbraManager* manager = AmbraManager::GetAmbraManager(true);
    EXPECT_TRUE(manager->LibraryStatus().isSuccess()) << Brio::Utility::toUtf8(manager->LibraryStatus().message());
    EXPECT_EQ(AmbraManager::DefaultLibraryPath(), Brio::PathInfo::localizationDirectory() / kLibraryFile);
    EXPECT_EQ(manager->VisualLibraryId(), 1);
    EXPECT_EQ(manager->DefaultFrontFaceId(), "Paint-015");
    const std::vector<std::string> ids = manager->Identifiers();
    EXPECT_GE(ids.size(), 40u);
    for (const char* id : {"Paint-015", "Metal-001", "Metal-006", "Metal-011", "Metal-012", "Metal-014", "Plastic-001",
                           "Rubber-001", "Glass-001", "Wood-001", "Stone-001"})
        EXPECT_TRUE(std::binary_search(ids.begin(), ids.end(), id)) << id;
}

TEST_F(AmbraMaterialLibraryTest, LibraryMaterialsBecomeBasicMaterials) {
    auto* paint = Material(Library(L"Paint-015")->EffectInstance(*dc, true));
    ASSERT_NE(paint, nullptr);
    AutoPtr<EffectInstance> holdPaint(paint);
    EXPECT_EQ(paint->Diffuse(), vec3<float>(0.62f, 0.64f, 0.66f));
    EXPECT_EQ(paint->Ambient(), vec3<float>(0.124f, 0.128f, 0.132f));
    EXPECT_FLOAT_EQ(paint->Shininess(), 64.0f);
    EXPECT_FLOAT_EQ(paint->ReflectionBlend(), 0.08f);
    EXPECT_FALSE(paint->IsTransparent());

    AutoPtr<AmbraEffectAttribute> brass = Library(L"Metal-011");
    auto* b = Material(brass->EffectInstance(*dc, false));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Diffuse(), vec3<float>(0.78f, 0.6f, 0.22f));
    EXPECT_EQ(b->Specular(), vec3<float>(0.95f, 0.85f, 0.55f));
    EXPECT_FLOAT_EQ(b->Shininess(), 100.0f);
    EXPECT_EQ(EffectInstanceCache::Instance()->Lookup(L"AmbraEffect(Metal-011,)"), b);
    EXPECT_EQ(Library(L"Metal-011")->EffectInstance(*dc, false), b); // shared

    auto* glass = Material(Library(L"Glass-001")->EffectInstance(*dc, false));
    ASSERT_NE(glass, nullptr);
    EXPECT_FLOAT_EQ(glass->Opacity(), 0.15f);
    EXPECT_TRUE(glass->IsTransparent());
    // A material without an ambient colour lights its shadows with a fifth of its diffuse colour.
    auto* oak = Material(Library(L"Wood-001")->EffectInstance(*dc, false));
    ASSERT_NE(oak, nullptr);
    EXPECT_EQ(oak->Ambient(), vec3<float>(0.65f * 0.2f, 0.48f * 0.2f, 0.3f * 0.2f));
}

TEST_F(AmbraMaterialLibraryTest, CustomizedColourReplacesTheDiffuseColour) {
    AutoPtr<AmbraEffectAttribute> tinted =
        AmbraEffectAttribute::Make(Intern(L"Paint-015"), true, vec4<float>(0, 0.5f, 0, 0.5f), 2.0f, 30.0f);
    auto* m = Material(tinted->EffectInstance(*dc, false));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Diffuse(), vec3<float>(0, 0.5f, 0));
    EXPECT_FLOAT_EQ(m->Opacity(), 0.5f);
    EXPECT_EQ(EffectInstanceCache::Instance()->Lookup(L"AmbraEffect(Paint-015,(0,0.5,0,0.5)x2@30)"), m);

    AutoPtr<AmbraEffectAttribute> plain = Library(L"Paint-015");
    EffectInstance* green = plain->ColorCustomizedEI(*dc, vec3<float>(0, 1, 0));
    ASSERT_NE(Material(green), nullptr);
    EXPECT_EQ(Material(green)->Diffuse(), vec3<float>(0, 1, 0));
    EXPECT_FLOAT_EQ(Material(green)->Opacity(), 1.0f);
    EXPECT_EQ(plain->ColorCustomizedEI(*dc, vec3<float>(0, 1, 0)), green);
    EXPECT_EQ(EffectInstanceCache::Instance()->Lookup(L"AmbraEffect(Paint-015,(0,1,0,1))"), green);
    EXPECT_NE(plain->EffectInstance(*dc, false), green);
}

TEST_F(AmbraMaterialLibraryTest, UnknownIdentifiersShowTheDefaultFrontFace) {
    EXPECT_EQ(AmbraTranslator::GetAmbraTranslator()->GetMaterialEI(device, *Intern(L"No-Such-Material"), false,
                                                                   vec4<float>(), 0.0f, 1.0f),
              nullptr);
    AutoPtr<AmbraEffectAttribute> unknown = Library(L"No-Such-Material");
    auto* m = Material(unknown->EffectInstance(*dc, false));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Diffuse(), vec3<float>(0.62f, 0.64f, 0.66f));
    AutoPtr<AmbraEffectAttribute> none = AmbraEffectAttribute::Make(nullptr, true, vec4<float>(1, 0, 0, 1), 1.0f, 0.0f);
    auto* red = Material(none->EffectInstance(*dc, false));
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->Diffuse(), vec3<float>(1, 0, 0)); // the default front face in the asked colour
}

TEST_F(AmbraMaterialLibraryTest, AFreshInstanceIgnoresScaleAndRotation) {
    AutoPtr<AmbraEffectAttribute> scaled =
        AmbraEffectAttribute::Make(Intern(L"Metal-012"), false, vec4<float>(), 3.0f, 45.0f);
    AutoPtr<EffectInstance> fresh = scaled->EffectInstance(*dc, true);
    ASSERT_NE(Material(fresh), nullptr);
    EXPECT_EQ(Material(fresh)->Diffuse(), vec3<float>(0.74f, 0.4f, 0.24f));
    EXPECT_EQ(EffectInstanceCache::Instance()->Count(), 0); // not filed
}

TEST_F(AmbraMaterialLibraryTest, MalformedLibraryIsReportedAndTheBuiltInDefaultDraws) {
    TempDir dir;
    dir.Write(kLibraryFile, "<MaterialLibrary id=\"1\"><Material id=\"Paint-015\" diffuse=\"0.1 0.1 0.1\">");
    ResourceRoot root(dir.Path());
    AutoPtr<AmbraEffectAttribute> paint = Library(L"Paint-015");
    auto* m = Material(paint->EffectInstance(*dc, false));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Diffuse(), vec3<float>(0.62f, 0.64f, 0.66f)); // not the broken file's 0.1
    const Brio::Status status = AmbraManager::GetAmbraManager(false)->LibraryStatus();
    EXPECT_TRUE(status.isError());
    EXPECT_TRUE(Contains(status.message(), L"malformed")) << Brio::Utility::toUtf8(status.message());
    EXPECT_TRUE(Contains(status.message(), (dir.Path() / kLibraryFile).wstring()));
    EXPECT_EQ(AmbraManager::GetAmbraManager(false)->VisualLibraryId(), 0);
    AutoPtr<AmbraEffectAttribute> brass = Library(L"Metal-011");
    ASSERT_NE(Material(brass->EffectInstance(*dc, false)), nullptr);
    EXPECT_EQ(Material(brass->EffectInstance(*dc, false))->Diffuse(), vec3<float>(0.62f, 0.64f, 0.66f));
}

TEST_F(AmbraMaterialLibraryTest, MissingLibraryOrWrongRootIsAnError) {
    TempDir dir;
    {
        ResourceRoot root(dir.Path());
        const Brio::Status status = AmbraManager::GetAmbraManager(true)->LibraryStatus();
        EXPECT_TRUE(status.isError());
        EXPECT_TRUE(Contains(status.message(), L"not found"));
        EXPECT_NE(Material(Library(L"Paint-015")->EffectInstance(*dc, false)), nullptr);
    }
    dir.Write(kLibraryFile, "<?xml version=\"1.0\"?><Materials><Material id=\"A\" diffuse=\"1 0 0\"/></Materials>");
    ResourceRoot root(dir.Path());
    const Brio::Status status = AmbraManager::GetAmbraManager(true)->LibraryStatus();
    EXPECT_TRUE(status.isError());
    EXPECT_TRUE(Contains(status.message(), L"MaterialLibrary"));
    EXPECT_TRUE(AmbraManager::GetAmbraManager(false)->Identifiers().empty());
}

TEST_F(AmbraMaterialLibraryTest, BadEntriesAreSkippedAndTheLibraryNamesItsDefault) {
    TempDir dir;
    dir.Write(kLibraryFile, R"(<?xml version="1.0"?>
<MaterialLibrary id="7" defaultFrontFace="Mine-002">
  <Material id="Mine-001" diffuse="0.5 0.5 0.5" shininess="12"/>
  <Material id="Mine-002" diffuse="0 0 1" ambient="0 0 0.1" opacity="0.5"/>
  <Material id="Bad-Colour" diffuse="red"/>
  <Material id="Bad-Range" diffuse="0.5 0.5 1.5"/>
  <Material id="No-Diffuse" specular="1 1 1"/>
  <Material id="Mine-001" diffuse="1 1 1"/>
</MaterialLibrary>)");
    ResourceRoot root(dir.Path());
    AmbraManager* manager = AmbraManager::GetAmbraManager(true);
    const Brio::Status status = manager->LibraryStatus();
    EXPECT_TRUE(status.isWarning());
    for (const wchar_t* named : {L"Bad-Colour", L"Bad-Range", L"No-Diffuse", L"duplicate"})
        EXPECT_TRUE(Contains(status.message(), named)) << Brio::Utility::toUtf8(named);
    EXPECT_EQ(manager->VisualLibraryId(), 7);
    EXPECT_EQ(manager->Identifiers(), (std::vector<std::string>{"Mine-001", "Mine-002"}));

    auto* first = Material(Library(L"Mine-001")->EffectInstance(*dc, false));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Diffuse(), vec3<float>(0.5f, 0.5f, 0.5f)); // the first of the duplicates
    EXPECT_FLOAT_EQ(first->Shininess(), 12.0f);
    // Unknown and rejected materials fall back to this library's default front face.
    for (const wchar_t* id : {L"Bad-Colour", L"Paint-015"}) {
        auto* m = Material(Library(id)->EffectInstance(*dc, false));
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->Diffuse(), vec3<float>(0, 0, 1));
        EXPECT_FLOAT_EQ(m->Opacity(), 0.5f);
    }
}

TEST_F(AmbraMaterialLibraryTest, ReleaseForgetsTheLibraryUntilNextUse) {
    AmbraManager* manager = AmbraManager::GetAmbraManager(true);
    EXPECT_TRUE(manager->IsLoaded());
    manager->ReleaseLib();
    EXPECT_FALSE(manager->IsLoaded());
    EXPECT_TRUE(manager->LibraryStatus().isSuccess());
    EXPECT_EQ(manager->VisualLibraryId(), 1); // read again on demand
    EXPECT_TRUE(manager->IsLoaded());
    TempDir dir;
    const std::filesystem::path other =
        dir.Write("lib.xml", R"(<MaterialLibrary id="3"><Material id="X" diffuse="1 1 0"/></MaterialLibrary>)");
    const Brio::Status loaded = manager->LoadLibrary(other);
    EXPECT_TRUE(loaded.isWarning()); // usable, but its default front face is missing
    EXPECT_TRUE(Contains(loaded.message(), L"default front face"));
    EXPECT_EQ(manager->VisualLibraryId(), 3);
    EXPECT_EQ(manager->DefaultFrontFaceId(), "Paint-015"); // named by default, not held: the built-in one
    EXPECT_EQ(manager->DefaultFrontFace(false, Brio::Color()), AmbraManager::BuiltInDefaultFrontFace());
    std::optional<Brio::AmbraAsset> x = manager->GetAssetInstance(3, "X", false, Brio::Color(), 10.0f, 2.0f);
    ASSERT_TRUE(x);
    EXPECT_FLOAT_EQ(x->rotation, 10.0f);
    EXPECT_FLOAT_EQ(x->scale, 2.0f);
    EXPECT_FALSE(manager->GetAssetInstance(1, "X", false, Brio::Color(), 0.0f, 1.0f)); // another library's id
}
