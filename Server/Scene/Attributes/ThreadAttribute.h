#pragma once
#include <Lumo/Objects/Mutex.h>
#include <Scene/Attributes/Attribute.h>

#include <vector>

namespace Lumo::Devices {
class ADrawContext;
class EffectInstance;
} // namespace Lumo::Devices

namespace Lumo::Scene {

/// One threaded feature, drawn as a thread texture wrapped on its surface.
struct ThreadData {
    float pitch = 1.0f;    ///< distance between crests, model units
    float diameter = 1.0f; ///< nominal diameter, model units
    float uScale = 1.0f;   ///< texture repeats along the axis
    float vScale = 1.0f;   ///< texture repeats around the circumference
    bool operator==(const ThreadData&) const = default;
};

/// The threads of the subgraph below. Never shared between features, so equality is identity.
class ThreadAttribute : public Attribute, public NetObjectCountImpl<ThreadAttribute> {
    LUMO_SCENE_CLASS(ThreadAttribute)
public:
    using ThreadDataVector = std::vector<ThreadData>;

    /// The list is copied.
    static ThreadAttribute* Make(const ThreadDataVector& threads, bool winTies = false, unsigned char priority = 0);
    EAttributeType Type() const override { return eThread; }
    bool Equals(const Attribute* other) const override { return other == this; }
    const ThreadDataVector& ThreadDataList() const { return m_threads; }

    using EffectInstanceList =
        Lumo::Objects::_ArrayList<Lumo::Devices::EffectInstance*, Lumo::Objects::RefCountedLifetime>;
    /// One textured instance per thread, showing the thread texture at the thread's pitch and
    /// size; built on first use and kept.
    const EffectInstanceList& GetThreadEIList(Lumo::Devices::ADrawContext& dc);
    ~ThreadAttribute() override;

protected:
    ThreadAttribute(const ThreadDataVector& threads, bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_threads(threads) {}
    void ThreadDataList(const ThreadDataVector& threads) { m_threads = threads; }

private:
    ThreadDataVector m_threads;
    Lumo::Objects::Threads::Mutex m_lock;
    EffectInstanceList m_instances;
};

} // namespace Lumo::Scene
