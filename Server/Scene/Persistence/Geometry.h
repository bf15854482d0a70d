#pragma once
#include <Scene/Foundations/SceneEntity.h>

namespace Brio::Scene {

class GeometryAttachment;

/// Base of the entities that carry simple geometry in a document segment. Persists nothing
/// itself; holds at most one attachment derived from the geometry's data.
class Geometry : public SceneEntity<Geometry, Entity> {
public:
    static constexpr const char* s_metaTypeId = "0088A0D1-D93D-4F2A-823C-816822DA8FDA";
    static SceneEntityMetaType* s_metaType();

    GeometryAttachment* attachment() const { return m_attachment; }
    /// Takes ownership of `attachment`. The previous one is not deleted: whoever replaces it
    /// takes it back.
    void attachment(GeometryAttachment* attachment) { m_attachment = attachment; }

protected:
    friend SceneEntity;
    explicit Geometry(Segment* segment);
    Geometry(Segment* segment, std::uint64_t persistedId);
    ~Geometry() override;

    /// Deletes the attachment, for data that changed.
    void purgeAttachments();

private:
    GeometryAttachment* m_attachment = nullptr;
};

} // namespace Brio::Scene
