#pragma once
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mutex.h>

#include <unordered_map>

namespace Lumo::Objects {
class UString;
}

namespace Lumo::Devices {

class AVirtualDevice;
class IRenderEffect;

/// A device's effects by interned name: each made on first request and then shared for
/// the device's life. The stock effects are known to every device; others are added per
/// device (Add) or taught to all devices (RegisterFactory).
class EffectCache {
public:
    using Factory = IRenderEffect* (*)(Lumo::Objects::UString* name);

    explicit EffectCache(AVirtualDevice* device);
    ~EffectCache();
    EffectCache(const EffectCache&) = delete;
    EffectCache& operator=(const EffectCache&) = delete;

    /// The device's one effect of that name; null for a name nobody knows. The cache keeps
    /// the effect; no reference is added for the caller.
    IRenderEffect* Acquire(Lumo::Objects::UString* name);
    /// The same from the given device's cache (this one when device is null or its owner).
    IRenderEffect* Acquire(Lumo::Objects::UString* name, AVirtualDevice* device);
    /// Adds an effect made elsewhere under its name; false when the name is taken.
    bool Add(IRenderEffect* effect);
    bool Contains(Lumo::Objects::UString* name) const;
    int Count() const;
    /// Drops every effect (instances still holding one keep it alive).
    void Clear();

    /// Makes effects of this name known to every device's cache; a later registration of
    /// the same name replaces the earlier. Stock names cannot be replaced.
    static void RegisterFactory(Lumo::Objects::UString* name, Factory factory);
    /// Forgets the factory of that name when it is this one (a library that goes away takes
    /// its factories along); effects already made stay in their caches.
    static void UnregisterFactory(Lumo::Objects::UString* name, Factory factory);
    static bool HasFactory(Lumo::Objects::UString* name);

private:
    AVirtualDevice* m_device; // the owner, not counted
    mutable Lumo::Objects::Threads::Mutex m_mutex;
    std::unordered_map<Lumo::Objects::UString*, Lumo::Objects::AutoPtr<IRenderEffect>> m_effects;
};

} // namespace Lumo::Devices
