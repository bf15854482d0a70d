#pragma once
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mutex.h>
#include <Scene/Foundations/NetObjectCountImpl.h>

#include <map>
#include <string>

namespace Lumo::Devices {
class EffectInstance;
}

namespace Lumo::Scene {

/// Effect instances that depend only on a few values (a colour, a material-library entry),
/// shared process-wide by a text key. Entries stay until Destroy, which the add-in calls at
/// shutdown. Shared instances must not be changed: clone first.
class EffectInstanceCache : public NetObjectCountImpl<EffectInstanceCache> {
public:
    /// The process-wide cache, made now when there is none.
    static EffectInstanceCache* Make();
    /// Releases every entry and the cache itself, and the effect variants made from shared
    /// instances (EffectVariantCache); a later Make or Instance starts afresh.
    static void Destroy();
    /// The process-wide cache, made on first use, so attributes share before the add-in starts.
    static EffectInstanceCache* Instance();
    /// True while a cache exists.
    static bool Exists();
    static int NetObjectCount() { return NetObjectCountImpl<EffectInstanceCache>::Count(); }

    /// The stored instance for key; when there is none and one is offered, stores it (taking
    /// a reference) and answers it; otherwise null. No reference is added for the caller.
    Lumo::Devices::EffectInstance* Lookup(const std::wstring& key, Lumo::Devices::EffectInstance* offered = nullptr);
    /// Shorthand: Lookup on the process-wide cache.
    static Lumo::Devices::EffectInstance* Share(const std::wstring& key, Lumo::Devices::EffectInstance* offered);
    int Count() const;

    ~EffectInstanceCache();
    EffectInstanceCache(const EffectInstanceCache&) = delete;
    EffectInstanceCache& operator=(const EffectInstanceCache&) = delete;

private:
    EffectInstanceCache();
    mutable Lumo::Objects::Threads::Mutex m_mutex;
    std::map<std::wstring, Lumo::Objects::AutoPtr<Lumo::Devices::EffectInstance>> m_instances;
};

} // namespace Lumo::Scene
