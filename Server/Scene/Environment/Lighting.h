#pragma once
#include <Scene/Foundations/SceneEntity.h>

namespace Brio::Scene {

class Light;
struct LightingMembers;

/// The ordered lights of a view. Lights are shared, not owned: the same light may appear in
/// several lightings, or twice in one. A document entity.
class Lighting : public SceneEntity<Lighting, Entity, LightingMembers> {
public:
    static constexpr const char* s_metaTypeId = "1084F52D-3601-425D-92E4-C6E4C48192AD";
    static SceneEntityMetaType* s_metaType();

    /// Refers to the other's lights, in order; self-assignment does nothing.
    Lighting& operator=(const Lighting& other);

    int lightCount() const;
    /// An empty reference outside 0 .. lightCount() - 1.
    Brio::StrongRef<Light> getLight(int index) const;
    /// Appends; an empty reference is ignored (a renderer could not draw it).
    void addLight(const Brio::StrongRef<Light>& light);
    /// Removes the first entry of that light; nothing when it is absent.
    void removeLight(const Brio::StrongRef<Light>& light);
    void removeAllLights();

protected:
    friend SceneEntity;
    explicit Lighting(Segment* segment);
    Lighting(Segment* segment, std::uint64_t persistedId);
    ~Lighting() override;
    static void registerMembers(MemberSet& set, LightingMembers& members);
};

} // namespace Brio::Scene
