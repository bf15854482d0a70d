#pragma once
#include <Scene/Attributes/AmbraEffectAttribute.h>

#include <atomic>

namespace Lumo::Scene {

/// A material-library effect whose priority is one class-wide value, so that all of them
/// can be raised or lowered against other effects at once.
class PrioritizedAmbraAttribute : public AmbraEffectAttribute, public NetObjectCountImpl<PrioritizedAmbraAttribute> {
    LUMO_SCENE_CLASS(PrioritizedAmbraAttribute)
public:
    static PrioritizedAmbraAttribute* Make(Lumo::Objects::UString* identifier, bool useCustomizedColor,
                                           const Lumo::Objects::vec4<float>& customizedColor, float scale,
                                           float rotation);
    /// The class-wide priority.
    int Priority() const override { return s_priority.load(std::memory_order_relaxed); }
    static void SetPriority(int priority) { s_priority.store(priority, std::memory_order_relaxed); }

protected:
    PrioritizedAmbraAttribute(Lumo::Objects::UString* identifier, bool useCustomizedColor,
                              const Lumo::Objects::vec4<float>& customizedColor, float scale, float rotation)
        : AmbraEffectAttribute(identifier, useCustomizedColor, customizedColor, scale, rotation, false, 0) {}

private:
    static inline std::atomic<int> s_priority{0};
};

} // namespace Lumo::Scene
