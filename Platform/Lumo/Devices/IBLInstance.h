#pragma once
#include <Lumo/Devices/ADeviceResource.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Vec.h>

namespace Lumo::Devices {

class AFragment;

/// Image-based lighting as a device draws it: up to three environment fragments (ambient,
/// glossy and sharp), each sampling an environment texture ("cube") scaled by a gain ("gain")
/// after rotating the direction ("transform"). A slot left empty adds no light of that kind.
class IBLInstance : public ADeviceResource {
    LUMO_DECLARE_CLASS()
public:
    enum ESlot : int {
        eAmbient = 0,
        eGlossy = 1,
        eSharp = 2,
    };
    static constexpr int kSlotCount = 3;

    static IBLInstance* Make();
    ~IBLInstance() override;

    /// Null for an empty slot or a bad index.
    AFragment* Environment(ESlot slot) const;
    /// Holds a reference; null empties the slot. Moves the version on.
    void Environment(ESlot slot, AFragment* fragment);
    AFragment* Ambient() const { return Environment(eAmbient); }
    AFragment* Glossy() const { return Environment(eGlossy); }
    AFragment* Sharp() const { return Environment(eSharp); }
    /// True when no slot is filled.
    bool IsEmpty() const;

    /// The radiance a slot's fragment gives for a world direction: its texture sampled along
    /// the transformed direction, times its gain. Zero for an empty slot or one without a texture.
    Lumo::Objects::vec3<float> Evaluate(ESlot slot, const Lumo::Objects::vec3<float>& direction) const;

protected:
    IBLInstance();

private:
    Lumo::Objects::AutoPtr<AFragment> m_slots[kSlotCount];
};

} // namespace Lumo::Devices
