#pragma once
#include <Brio/Base/Option.h>
#include <Brio/Base/OptionGroup.h>

namespace Brio {

/// The host's document persistence preferences ("PersistenceOptionGroup"): whether documents
/// also keep the render graph of their scene, so that it shows again after a load without
/// being rebuilt from the model. Off by default: it makes documents larger.
class PersistenceOptionGroup : public OptionGroup {
public:
    /// The group, made and loaded on first use.
    static PersistenceOptionGroup* get();

    bool persistLumo() const { return m_persistLumo.value(); }
    void persistLumo(bool on) { m_persistLumo.value(on); }

private:
    PersistenceOptionGroup();
    Option<bool> m_persistLumo;
};

} // namespace Brio
