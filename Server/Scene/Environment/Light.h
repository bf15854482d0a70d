#pragma once
#include <Brio/Types/Color.h>
#include <Scene/Foundations/SceneEntity.h>
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

#include <cstdint>

namespace Brio::Scene {

class Camera;
struct LightMembers;

/// One light of a view: a point, spot or directional light with its colours, placement,
/// attenuation and cone. A document entity; setters store and announce nothing.
class Light : public SceneEntity<Light, Entity, LightMembers> {
public:
    static constexpr const char* s_metaTypeId = "BE2A4E1B-F6C3-4F93-9F57-633E2D0A1559";
    static SceneEntityMetaType* s_metaType();

    enum ELightType : int32_t { ePoint = 1, eSpot = 2, eDirectional = 3 };
    enum ELightSpace : int32_t {
        eUnset = 0,
        eView = 1, ///< position and direction are in the camera's space and move with it
        eWorld = 2,
        eModel = 3,
        eGroundPlane = 4,
    };

    // make(segment): a directional light, space unset (drawn in world space), attenuation
    // (1, 0, 0), cone (0.3, 0.5).

    /// Copies everything but identity; self-assignment does nothing.
    Light& operator=(const Light& other);

    ELightType lightType() const;
    void lightType(ELightType t);
    ELightSpace lightSpace() const;
    void lightSpace(ELightSpace s);
    const Brio::Color& ambientColor() const;
    void ambientColor(const Brio::Color& c);
    const Brio::Color& diffuseColor() const;
    void diffuseColor(const Brio::Color& c);
    const Brio::Color& specularColor() const;
    void specularColor(const Brio::Color& c);
    const ZoGePoint3d& position() const;
    void position(const ZoGePoint3d& p);
    const ZoGeVector3d& direction() const;
    void direction(const ZoGeVector3d& d);

    void setSpotCone(float inner, float outer);
    void getSpotCone(float& inner, float& outer) const;
    void setAttenuation(float constant, float linear, float quadratic);
    void getAttenuation(float& constant, float& linear, float& quadratic) const;

    /// Whether the light has a position (point and spot lights) and a direction (spot and
    /// directional lights); the attenuation applies to every type but directional.
    bool hasPosition() const;
    bool hasDirection() const;
    bool isAttenuated() const;
    /// Position and direction in world space: a view-space light is carried out of `camera`'s
    /// eye space; every other space is world space already. Without a camera, as stored.
    ZoGePoint3d worldPosition(const Camera* camera) const;
    ZoGeVector3d worldDirection(const Camera* camera) const;

protected:
    friend SceneEntity;
    explicit Light(Segment* segment);
    Light(Segment* segment, std::uint64_t persistedId);
    ~Light() override;
    static void registerMembers(MemberSet& set, LightMembers& members);
};

} // namespace Brio::Scene
