#pragma once
#include <Brio/DataModel/DataChange.h>
#include <Brio/DataModel/Entity.h>
#include <Brio/DataModel/MemberSet.h>
#include <Brio/DataModel/MigrationHelper.h>
#include <Scene/Foundations/SceneEntityMetaType.h>

#include <cstdint>
#include <string>

// The persistent-entity pattern of the library's host entities.
//
// An entity class derives from SceneEntity<Class, Base, Members>, where Base is Brio::Entity
// or another entity class of the library and Members is the class's member record (defined
// in its source; NoMembers when it persists nothing). The pattern gives the class make(),
// memberSet(), version(), queryMTInterface, onPostMigrate, the migration-helper slot and the
// member record, and initialises the member set on first construction. The class supplies:
//
//   // Camera.h
//   struct CameraMembers;
//   class Camera : public Scene::SceneEntity<Camera, Entity, CameraMembers> {
//   public:
//       static constexpr const char* s_metaTypeId = "736DEAAF-...";
//       static SceneEntityMetaType* s_metaType();
//       ... accessors through members() ...
//   protected:
//       friend SceneEntity;
//       explicit Camera(Segment* segment);                    // new (make)
//       Camera(Segment* segment, std::uint64_t persistedId);  // loaded (meta type)
//       ~Camera() override;
//       static void registerMembers(MemberSet& set, CameraMembers& m); // addNewMember calls
//   };
//
//   // Camera.cpp
//   struct CameraMembers { ZoGePoint3d position{0, 0, 1}; ... };
//   BRIO_SCENE_ENTITY_META_TYPE(Camera, "CameraMetaType", Entity::s_metaTypeId, 2)
//   Camera::Camera(Segment* s) : SceneEntity(s) {}
//   Camera::Camera(Segment* s, std::uint64_t id) : SceneEntity(s, id) {}
//   Camera::~Camera() = default;
//   void Camera::registerMembers(MemberSet& set, CameraMembers& m) {
//       set.addNewMember("position", &m.position);
//       ...
//   }
//
// The constructors and destructor stay in the source because the member record is only
// complete there. registerMembers runs once per process, on the first construction, and is
// also the place for anything else to do once when the class is first used.

namespace Brio::Scene {

/// The record of a class that persists nothing.
struct NoMembers {};

/// Member-set initialisation, run by each class's constructors once its member record exists:
/// under the set's reader/writer lock (when lock type 0 is in force), a set not yet initialised
/// is initialised with `metaType`'s class name, the kind is raised to entity type 4 when "Scene"
/// is a core add-in, `registerMembers(set, record)` adds the members and the base kind's set is
/// linked. Then an entity loaded (not created) into a saved segment of a migrating document
/// whose segment persisted an older version of the kind is marked migrating at that version,
/// and the meta type migrates the set for it.
void initializeMemberSetIfNeeded(Entity* entity, SceneEntityMetaType* metaType,
                                 void (*registerMembers)(MemberSet& set, void* record), void* record);

template <class Derived, class Base, class Members = NoMembers> class SceneEntity : public Base {
public:
    /// A new entity in `segment`, after postCreation (transaction 1, create).
    static StrongRef<Derived> make(Segment* segment) {
        StrongRef<Derived> entity(new Derived(segment));
        entity->postCreation(DataChange::eTransactCreate);
        return entity;
    }
    /// The loading constructor, for the meta type's create().
    static StrongRef<Entity> createLoaded(Segment* segment, std::uint64_t persistedId) {
        return StrongRef<Entity>(new Derived(segment, persistedId));
    }

    static MemberSet& memberSet() { return Derived::s_metaType()->memberSet(); }
    /// The entity's migrating version for this class's meta type.
    unsigned version() const { return this->migratingVersion(Derived::s_metaType()); }
    void version(unsigned version) { this->migratingVersion(Derived::s_metaType(), version); }

    const EntityMetaType* metaType() const override { return Derived::s_metaType(); }
    Entity* queryMTInterface(const EntityMetaType* metaType) override {
        return metaType == Derived::s_metaType() ? this : Base::queryMTInterface(metaType);
    }
    void* memberRecord(const MemberSet* set) override {
        return set == &memberSet() ? static_cast<void*>(m_members) : Base::memberRecord(set);
    }
    void onPostMigrate() override {
        Base::onPostMigrate();
        const unsigned current = Derived::s_metaType()->currentVersion();
        if (version() < current)
            version(current);
    }
    int postMigrate(unsigned) override { return Entity::eMigrationDone; }
    bool deleteMigrationHelper() override { return false; }

    /// This class's migration helper, if it keeps one while migrating; owned.
    MigrationHelper* migrationHelper() const { return m_migrationHelper; }

protected:
    explicit SceneEntity(Segment* segment) : Base(segment), m_members(new Members()) { initialize(); }
    SceneEntity(Segment* segment, std::uint64_t persistedId) : Base(segment, persistedId), m_members(new Members()) {
        initialize();
    }
    ~SceneEntity() override {
        static_assert(sizeof(Members) > 0, "the member record must be complete where the destructor is defined");
        delete m_members;
        delete m_migrationHelper;
    }

    Members& members() { return *m_members; }
    const Members& members() const { return *m_members; }
    void migrationHelper(MigrationHelper* helper) {
        delete m_migrationHelper;
        m_migrationHelper = helper;
    }

    void doInitializeMigrationHelpers() override { Base::doInitializeMigrationHelpers(); }
    void doUninitializeMigrationHelpers() override { Base::doUninitializeMigrationHelpers(); }
    std::wstring onToString() const override { return {}; }

    /// Classes with members hide this with their own.
    static void registerMembers(MemberSet&, Members&) {}

private:
    static void registerThunk(MemberSet& set, void* record) {
        Derived::registerMembers(set, *static_cast<Members*>(record));
    }
    void initialize() { initializeMemberSetIfNeeded(this, Derived::s_metaType(), &registerThunk, m_members); }

    Members* m_members;
    MigrationHelper* m_migrationHelper = nullptr;
};

} // namespace Brio::Scene

/// Defines Class::s_metaType() in the class's source: the class's one meta type, made when the
/// library loads and destroyed when it unloads.
#define BRIO_SCENE_ENTITY_META_TYPE(Class, MetaTypeName, BaseMetaTypeId, EntityType)                                   \
    ::Brio::Scene::SceneEntityMetaType* Class::s_metaType() {                                                          \
        static ::Brio::Scene::SceneEntityMetaType metaType(#Class, Class::s_metaTypeId, MetaTypeName, BaseMetaTypeId,  \
                                                           EntityType, &Class::createLoaded);                          \
        return &metaType;                                                                                              \
    }                                                                                                                  \
    namespace {                                                                                                        \
    [[maybe_unused]] const ::Brio::EntityMetaType* const s_##Class##MetaTypeAtLoad = Class::s_metaType();              \
    }
