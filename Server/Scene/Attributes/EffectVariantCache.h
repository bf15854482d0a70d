#pragma once
#include <Lumo/Objects/AutoPtr.h>

#include <cstdint>

namespace Lumo::Devices {
class EffectInstance;
}
namespace Lumo::Objects {
class ARefCounted;
}

namespace Lumo::Scene {

/// Effect instances derived from another for one way of drawing it (transparent at an opacity,
/// two-sided, with a back-face layer, in a customized colour), shared process-wide so that the
/// same inputs answer the same instance every frame: render items then share effects and can
/// be sorted and batched by them, and a frame of an unchanged scene makes no instance.
///
/// An entry holds its base instance (so its address cannot be reused by another while the
/// entry exists) and the device the variant was built on. Sweep, run at the end of every walk,
/// drops an entry that nobody but the cache uses any more when its base is held by nothing
/// but the entry and its variant, or when it has not been asked for in a long time; the size
/// is bounded too, the entry asked for least recently making way. Clear empties it (the
/// add-in's shutdown does, through EffectInstanceCache::Destroy). One mutex guards it all;
/// variants are built outside it. Variants are shared: never change one.
class EffectVariantCache {
public:
    enum EKind : std::uint8_t { eTransparent, eTwoSided, eBackFace, eColor };

    struct Key {
        Lumo::Objects::ARefCounted* base = nullptr;   ///< the instance varied; null for eColor
        Lumo::Objects::ARefCounted* device = nullptr; ///< the device the variant is built on, if any
        const void* tag = nullptr;                    ///< an identity that never dies (an interned name)
        EKind kind = eTransparent;
        unsigned flags = 0;
        float values[3] = {0, 0, 0};
        bool operator==(const Key& other) const;
    };

    /// The variant stored for key (now counted as asked for), or null.
    static Lumo::Objects::AutoPtr<Lumo::Devices::EffectInstance> Find(const Key& key);
    /// Stores made for key and answers it; when another thread stored one first, answers that
    /// one instead (made is then only released by its holder). A null made is not stored.
    static Lumo::Objects::AutoPtr<Lumo::Devices::EffectInstance> Offer(const Key& key,
                                                                       Lumo::Devices::EffectInstance* made);

    /// Drops what nobody uses any more (see above); answers how many entries went.
    static int Sweep();
    /// Releases every entry.
    static void Clear();
    static int Count();
    /// Entries kept at most (16384 unless set; at least 1).
    static int Capacity();
    static void Capacity(int entries);
    /// Sweeps after which an entry nobody has asked for is dropped once unused.
    static constexpr unsigned kIdleSweeps = 256;
};

} // namespace Lumo::Scene
