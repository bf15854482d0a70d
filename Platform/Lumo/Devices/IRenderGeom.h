#pragma once
#include <Lumo/Devices/ADeviceResource.h>
#include <Lumo/Objects/SBox3.h>

namespace Lumo::Devices {

class EffectInstance;

/// Anything drawable as geometry: meshes, and what later kinds of geometry add. Geometry may
/// need preparing for the effect it is drawn with before the backend can draw it.
class IRenderGeom : public ADeviceResource {
    LUMO_DECLARE_CLASS()
public:
    /// The geometry's box in its own coordinates; empty when it has nothing to draw.
    virtual Lumo::Objects::SBox3 Box() const = 0;
    virtual bool NeedsPreparing() const { return false; }
    /// Readies the geometry for drawing with the effect at a level of detail; answers
    /// whether there is anything to draw. Geometry with nothing to ready answers whether its
    /// box holds anything.
    virtual bool Prepare(EffectInstance* effect, int lod);

protected:
    IRenderGeom() = default;
};

} // namespace Lumo::Devices
