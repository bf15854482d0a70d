#pragma once
#include <Lumo/Devices/ECull.h>
#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mutex.h>
#include <Scene/Attributes/Attribute.h>

#include <atomic>
#include <string>

namespace Lumo::Devices {
class ADrawContext;
class AVirtualDevice;
class LayeredEffectInstance;
} // namespace Lumo::Devices

namespace Lumo::Scene {

/// How the geometry below is shaded. Each kind turns its values into an effect instance
/// for a draw context; the attribute keeps the instance it made for later walks.
class EffectAttribute : public Attribute, public NetObjectCountImpl<EffectAttribute> {
    LUMO_SCENE_CLASS(EffectAttribute)
public:
    ~EffectAttribute() override;
    EAttributeType Type() const override { return eEffect; }

    /// With fresh false: the attribute's instance, made on first use (shared through the
    /// effect instance cache where the kind allows) and kept for the attribute's life; not
    /// counted for the caller. With fresh true: a new instance on every call, owned by the
    /// caller. Null when the draw context has no device or the effect is unknown.
    virtual Lumo::Devices::EffectInstance* EffectInstance(Lumo::Devices::ADrawContext& dc, bool fresh);

protected:
    explicit EffectAttribute(bool winTies = false, unsigned char priority = 0);
    /// A new instance (count 0) when not shared; the cache's instance when shared. Null here.
    virtual Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared);
    /// Replaces the kept instance.
    void EffectInstance(Lumo::Devices::EffectInstance* instance);

    /// Effect kinds are equal only to attributes of exactly their class, so that equality
    /// stays symmetric across the kinds that derive from one another.
    bool SameEffectKind(const Attribute* other) const;

    /// The cache's instance under key, storing made (count 0) when the key is new; made is
    /// freed when the cache already held one.
    static Lumo::Devices::EffectInstance* ShareInstance(const std::wstring& key, Lumo::Devices::EffectInstance* made);
    /// A clone of instance whose rasterizer override culls as asked (an existing override
    /// keeps its other settings, a wireframe stays a wireframe).
    static Lumo::Devices::EffectInstance* CulledClone(const Lumo::Devices::EffectInstance* instance,
                                                      Lumo::Devices::ECull cull);
    /// Appends culled clones of source's layers (or of source itself when it is not layered).
    static void AppendCulledLayers(Lumo::Devices::LayeredEffectInstance* target,
                                   const Lumo::Devices::EffectInstance* source, Lumo::Devices::ECull cull);
    static Lumo::Devices::AVirtualDevice* Device(Lumo::Devices::ADrawContext& dc);

private:
    Lumo::Objects::AutoPtr<Lumo::Devices::EffectInstance> m_instance;
    std::atomic<Lumo::Devices::EffectInstance*> m_ready{nullptr}; // published once m_instance is set
    Lumo::Objects::Threads::Mutex m_mutex;
};

} // namespace Lumo::Scene
