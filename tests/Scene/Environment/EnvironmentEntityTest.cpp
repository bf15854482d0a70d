// Camera, viewport, light and lighting as document entities: their kinds, their persisted
// members, and a document that keeps them through a save and a load.
#include "CameraTestSupport.h"

#include <Brio/Base/StringConversion.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/MetaTypeManager.h>
#include <Scene/Environment/Light.h>
#include <Scene/Environment/Lighting.h>
#include <Scene/Environment/Viewport.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace Brio;
using namespace Brio::Scene;
using namespace CameraTest;

namespace {
std::string ScratchFile(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("brio-environment-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

std::vector<char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

/// "key:type" of each member, in order.
std::vector<std::string> Keys(const MemberSet& set) {
    std::vector<std::string> keys;
    for (const auto& m : set.members())
        keys.push_back(m.name + ":" + m.valueType->name());
    return keys;
}

template <class T> T* EntityOf(Segment* segment, std::uint64_t id) {
    return dynamic_cast<T*>(segment->entity(id));
}
} // namespace

TEST(EnvironmentEntityTest, KindsAreRegisteredAtLoadAsTabled) {
    const char* entity = "98542EB9-A4F2-4137-A808-DBB5B3CD6159";
    struct Row {
        EntityMetaType* type;
        const char* id;
        const char* name;
        const char* className;
    };
    const Row rows[] = {
        {Camera::s_metaType(), "736DEAAF-2425-405E-B871-003AAB726295", "CameraMetaType", "Camera"},
        {Light::s_metaType(), "BE2A4E1B-F6C3-4F93-9F57-633E2D0A1559", "LightMetaType", "Light"},
        {Lighting::s_metaType(), "1084F52D-3601-425D-92E4-C6E4C48192AD", "LightingMetaType", "Lighting"},
        {Viewport::s_metaType(), "5F12987F-9901-49FD-A94C-BDB899006790", "ViewportMetaType", "Viewport"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MetaTypeManager::get().find(row.id), row.type);
        EXPECT_EQ(row.type->name(), row.name);
        EXPECT_EQ(row.type->addInId(), "Scene");
        EXPECT_EQ(row.type->number(), 0);
        EXPECT_EQ(row.type->baseMetaType(), MetaTypeManager::get().find(entity));
        EXPECT_EQ(row.type->entityType(), 2);
        EXPECT_STREQ(static_cast<SceneEntityMetaType*>(row.type)->className(), row.className);
    }
}

TEST(EnvironmentEntityTest, MembersArePersistedUnderTheirKeysInOrder) {
    Camera::make(TestSegment());
    Light::make(TestSegment());
    Lighting::make(TestSegment());
    Viewport::make(TestSegment());
    EXPECT_EQ(Keys(Camera::memberSet()),
              (std::vector<std::string>{"position:ZoGePoint3d", "target:ZoGePoint3d", "up:ZoGeVector3d",
                                        "clipNear:double", "clipFar:double", "extentsWidth:double",
                                        "extentsHeight:double", "projection:int32"}));
    EXPECT_EQ(Camera::memberSet().members().back().typeName, "EProjection");
    EXPECT_EQ(Keys(Light::memberSet()),
              (std::vector<std::string>{"type:int32", "space:int32", "ambient:Color", "diffuse:Color", "specular:Color",
                                        "position:ZoGePoint3d", "direction:ZoGeVector3d", "attenuationCon:float",
                                        "attenuationLin:float", "attenuationQua:float", "spotInner:float",
                                        "spotOuter:float"}));
    EXPECT_EQ(Keys(Lighting::memberSet()), std::vector<std::string>{"lightlist:entityRefs"});
    EXPECT_EQ(Keys(Viewport::memberSet()),
              (std::vector<std::string>{"left:double", "right:double", "bottom:double", "top:double", "space:int32"}));
    for (MemberSet* set : {&Camera::memberSet(), &Light::memberSet(), &Lighting::memberSet(), &Viewport::memberSet()})
        EXPECT_EQ(set->baseMemberSet(), &Entity::s_metaType()->memberSet());
    EXPECT_EQ(Camera::memberSet().className(), "Camera");
}

TEST(EnvironmentEntityTest, EachClassAnswersForItsOwnKind) {
    StrongRef<Camera> camera = Camera::make(TestSegment());
    Entity* asEntity = camera.getTarget();
    EXPECT_EQ(asEntity->queryMTInterface(Camera::s_metaType()), asEntity);
    EXPECT_EQ(asEntity->queryMTInterface(Entity::s_metaType()), asEntity);
    EXPECT_EQ(asEntity->queryMTInterface(Light::s_metaType()), nullptr) << "an unrelated kind: as the base answers";
    EXPECT_EQ(camera->metaType(), Camera::s_metaType());
    EXPECT_TRUE(camera->toString().empty());
    EXPECT_EQ(camera->version(), Camera::s_metaType()->currentVersion());
    camera->version(0);
    camera->onPostMigrate();
    EXPECT_EQ(camera->version(), Camera::s_metaType()->currentVersion());
    EXPECT_EQ(camera->segment(), TestSegment());
    EXPECT_FALSE(camera->creating());
}

TEST(EnvironmentEntityTest, ADocumentKeepsCamerasViewportsAndLights) {
    const std::string first = ScratchFile("first.brio"), second = ScratchFile("second.brio");
    {
        StrongRef<Asset> asset = Asset::make(L"Environment");
        Segment* segment = asset->createSegment(L"View");
        StrongRef<Camera> camera = Camera::make(segment);
        camera->position(ZoGePoint3d(11.75, -3.15, 6.75));
        camera->target(ZoGePoint3d(-1.5, 5.45, 2.0));
        camera->up(ZoGeVector3d(0, 0, 1));
        camera->clipNear(0.1);
        camera->clipFar(1234.5);
        camera->extentsWidth(1.0 / 3.0);
        camera->extentsHeight(0.6);
        camera->projection(Camera::ePerspective);
        camera->pivot(ZoGePoint3d(1, 2, 3));
        camera->pivotEnabled(true);

        StrongRef<Viewport> viewport = Viewport::make(segment);
        viewport->set(0.5, 1.0, 0.25, 0.75);
        viewport->space(Viewport::eAbsolute);

        StrongRef<Light> key = Light::make(segment), fill = Light::make(segment);
        key->lightType(Light::eSpot);
        key->lightSpace(Light::eView);
        key->ambientColor({0.1f, 0.2f, 0.3f, 0.4f});
        key->diffuseColor({0.9f, 0.8f, 0.7f});
        key->specularColor({1, 1, 1, 0.5f});
        key->position(ZoGePoint3d(1, 2, 3));
        key->direction(ZoGeVector3d(0, -0.6, -0.8));
        key->setAttenuation(1.5f, 0.25f, 0.125f);
        key->setSpotCone(0.2f, 0.7f);
        fill->lightType(Light::ePoint);

        StrongRef<Lighting> lighting = Lighting::make(segment);
        lighting->addLight(fill);
        lighting->addLight(key);
        lighting->addLight(fill);
        const Status saved = asset->save(first);
        ASSERT_TRUE(saved.isSuccess()) << Utility::toUtf8(saved.message());
    }

    StrongRef<Asset> asset = Asset::make();
    const Status loaded = asset->load(first);
    ASSERT_TRUE(loaded.isSuccess()) << Utility::toUtf8(loaded.message());
    ASSERT_TRUE(asset->save(second).isSuccess());
    EXPECT_EQ(ReadFile(first), ReadFile(second)) << "nothing lost or changed on the way";

    Segment* segment = asset->segment(L"View");
    ASSERT_NE(segment, nullptr);
    ASSERT_EQ(segment->entityCount(), 5u);
    auto* camera = EntityOf<Camera>(segment, 1);
    auto* viewport = EntityOf<Viewport>(segment, 2);
    auto* key = EntityOf<Light>(segment, 3);
    auto* fill = EntityOf<Light>(segment, 4);
    auto* lighting = EntityOf<Lighting>(segment, 5);
    ASSERT_TRUE(camera && viewport && key && fill && lighting);

    EXPECT_EQ(camera->position().x, 11.75);
    EXPECT_EQ(camera->position().y, -3.15) << "doubles come back exactly";
    EXPECT_EQ(camera->target().y, 5.45);
    ExpectVector(camera->up(), 0, 0, 1, 0);
    EXPECT_EQ(camera->clipNear(), 0.1);
    EXPECT_EQ(camera->clipFar(), 1234.5);
    EXPECT_EQ(camera->extentsWidth(), 1.0 / 3.0);
    EXPECT_EQ(camera->projection(), Camera::ePerspective);
    EXPECT_FALSE(camera->pivotEnabled()) << "the pivot is not persisted";
    ExpectPoint(camera->pivot(), 0, 0, 0, 0);

    EXPECT_EQ(viewport->left(), 0.5);
    EXPECT_EQ(viewport->right(), 1.0);
    EXPECT_EQ(viewport->bottom(), 0.25);
    EXPECT_EQ(viewport->top(), 0.75);
    EXPECT_EQ(viewport->space(), Viewport::eAbsolute);

    EXPECT_EQ(key->lightType(), Light::eSpot);
    EXPECT_EQ(key->lightSpace(), Light::eView);
    EXPECT_EQ(key->ambientColor(), Color(0.1f, 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(key->diffuseColor(), Color(0.9f, 0.8f, 0.7f));
    EXPECT_EQ(key->specularColor(), Color(1, 1, 1, 0.5f));
    ExpectPoint(key->position(), 1, 2, 3, 0);
    ExpectVector(key->direction(), 0, -0.6, -0.8, 0);
    float c, l, q, inner, outer;
    key->getAttenuation(c, l, q);
    key->getSpotCone(inner, outer);
    EXPECT_EQ(c, 1.5f);
    EXPECT_EQ(l, 0.25f);
    EXPECT_EQ(q, 0.125f);
    EXPECT_EQ(inner, 0.2f);
    EXPECT_EQ(outer, 0.7f);
    EXPECT_EQ(fill->lightType(), Light::ePoint);

    ASSERT_EQ(lighting->lightCount(), 3);
    EXPECT_EQ(lighting->getLight(0), fill) << "references come back to the loaded lights";
    EXPECT_EQ(lighting->getLight(1), key);
    EXPECT_EQ(lighting->getLight(2), fill);
    std::filesystem::remove(first);
    std::filesystem::remove(second);
}

TEST(EnvironmentEntityTest, ACameraFromAnOlderDocumentIsBroughtUpToDate) {
    const std::string path = ScratchFile("old.brio");
    {
        StrongRef<Asset> asset = Asset::make();
        StrongRef<Camera> camera = Camera::make(asset->createSegment(L"View"));
        camera->extentsWidth(7.0);
        ASSERT_TRUE(asset->save(path).isSuccess());
    }
    EntityMetaType* cameras = Camera::s_metaType();
    const unsigned before = cameras->currentVersion();
    cameras->currentVersion(before + 1);
    StrongRef<Asset> asset = Asset::make();
    const Status status = asset->load(path);
    cameras->currentVersion(before);
    ASSERT_TRUE(status.isSuccess()) << Utility::toUtf8(status.message());
    auto* camera = EntityOf<Camera>(asset->segment(L"View"), 1);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->version(), before + 1) << "raised to the version current at the load";
    EXPECT_FALSE(camera->migrating());
    EXPECT_EQ(camera->extentsWidth(), 7.0);
    std::filesystem::remove(path);
}
