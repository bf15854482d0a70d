#pragma once
#include <Brio/Base/RefCounted.h>
#include <Brio/Base/StrongRef.h>
#include <Brio/Types/Color.h>
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

#include <cstdint>
#include <memory>

namespace Brio::Scene {

class Camera;

/// One light of a view: a point, spot or directional light with its colours, placement,
/// attenuation and cone. Setters store and announce nothing.
class Light : public Brio::RefCounted {
public:
    enum ELightType : int32_t { ePoint = 1, eSpot = 2, eDirectional = 3 };
    enum ELightSpace : int32_t {
        eUnset = 0,
        eView = 1, ///< position and direction are in the camera's space and move with it
        eWorld = 2,
        eModel = 3,
        eGroundPlane = 4,
    };

    /// A directional light, space unset (drawn in world space), attenuation (1, 0, 0), cone (0.3, 0.5).
    static Brio::StrongRef<Light> make();
    ~Light() override;

    /// Copies everything but identity; self-assignment does nothing.
    Light& operator=(const Light& other);

    ELightType lightType() const { return m_members->type; }
    void lightType(ELightType t) { m_members->type = t; }
    ELightSpace lightSpace() const { return m_members->space; }
    void lightSpace(ELightSpace s) { m_members->space = s; }
    const Brio::Color& ambientColor() const { return m_members->ambient; }
    void ambientColor(const Brio::Color& c) { m_members->ambient = c; }
    const Brio::Color& diffuseColor() const { return m_members->diffuse; }
    void diffuseColor(const Brio::Color& c) { m_members->diffuse = c; }
    const Brio::Color& specularColor() const { return m_members->specular; }
    void specularColor(const Brio::Color& c) { m_members->specular = c; }
    const ZoGePoint3d& position() const { return m_members->position; }
    void position(const ZoGePoint3d& p) { m_members->position = p; }
    const ZoGeVector3d& direction() const { return m_members->direction; }
    void direction(const ZoGeVector3d& d) { m_members->direction = d; }

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
    Light();

private:
    /// The persisted values, in the order they are stored.
    struct Members {
        Light* light;
        ELightType type = eDirectional;
        ELightSpace space = eUnset;
        Brio::Color ambient;
        Brio::Color diffuse;
        Brio::Color specular;
        ZoGePoint3d position;
        ZoGeVector3d direction;
        float attenuationConstant = 1.0f;
        float attenuationLinear = 0.0f;
        float attenuationQuadratic = 0.0f;
        float spotInner = 0.3f;
        float spotOuter = 0.5f;
    };

    std::unique_ptr<Members> m_members;
};

} // namespace Brio::Scene
