#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

#include <atomic>
#include <cstdint>
#include <memory>

namespace Lumo::Devices {

class ABackendData;

/// Base of everything a drawing backend turns into GPU objects (textures, meshes, effect
/// programs). The data lives here; the backend makes its objects lazily when something is
/// drawn, keeps them in the backend-data slot, and remakes them when the version moved on.
class ADeviceResource : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    ~ADeviceResource() override;

    /// Grows each time the data changes; a backend whose copy is older uploads again.
    std::uint64_t Version() const { return m_version.load(std::memory_order_relaxed); }
    void MarkChanged() {
        m_version.fetch_add(1, std::memory_order_relaxed);
        s_changes.fetch_add(1, std::memory_order_relaxed);
    }
    /// Moves on whenever any resource changes: what was derived from resources (boxes of
    /// meshes, say) under an older stamp may be stale.
    static std::uint64_t ChangeStamp() { return s_changes.load(std::memory_order_relaxed); }

    ABackendData* BackendData() const { return m_backend.get(); }
    /// Replaces the backend's data, deleting what was there; the resource owns it from here.
    void BackendData(ABackendData* data);

protected:
    ADeviceResource();

private:
    static inline std::atomic<std::uint64_t> s_changes{0};
    std::atomic<std::uint64_t> m_version{1};
    std::unique_ptr<ABackendData> m_backend;
};

} // namespace Lumo::Devices
