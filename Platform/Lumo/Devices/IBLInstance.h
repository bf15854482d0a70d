#pragma once
#include <Lumo/Devices/ADeviceResource.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Vec.h>

#include <cstdint>
#include <mutex>

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

    /// The slot's radiance projected on the nine spherical harmonics of bands 0 to 2 and
    /// convolved with a lobe (cosine for the ambient slot, a wider glossy lobe otherwise), so
    /// that a shader gets the light reflected about a direction as a sum of nine terms,
    /// already divided by pi. False, leaving out zero, for an empty slot. Computed once per
    /// version of the instance.
    bool RadianceSH(ESlot slot, Lumo::Objects::vec3<float> out[9]) const;

protected:
    IBLInstance();

private:
    Lumo::Objects::AutoPtr<AFragment> m_slots[kSlotCount];
    mutable std::mutex m_shMutex;
    mutable std::uint64_t m_shVersion[kSlotCount] = {0, 0, 0};
    mutable bool m_shValid[kSlotCount] = {false, false, false};
    mutable Lumo::Objects::vec3<float> m_sh[kSlotCount][9];
};

} // namespace Lumo::Devices
