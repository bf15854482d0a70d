#include <Scene/Foundations/SceneEntityMetaType.h>

#include <Brio/DataModel/Entity.h>
#include <Scene/Foundations/SceneAddInIdentifier.h>

namespace Brio::Scene {

SceneEntityMetaType::SceneEntityMetaType(const char* className, const char* metaTypeId, const char* name,
                                         const char* baseMetaTypeId, int entityType, CreateFunction create)
    : EntityMetaType(SceneAddInIdentifier().c_str(), metaTypeId, name, 0, baseMetaTypeId, entityType),
      m_className(className), m_create(create) {}

StrongRef<Entity> SceneEntityMetaType::create(Segment* segment, std::uint64_t persistedId) {
    return m_create ? m_create(segment, persistedId) : StrongRef<Entity>();
}

} // namespace Brio::Scene
