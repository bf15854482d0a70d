#pragma once
#include <Brio/Base/Option.h>
#include <Brio/Base/OptionGroup.h>

namespace Brio {

/// The host's multi-threading preferences ("MultiThreadOptionGroup"): whether the graphics
/// system draws and picks on several threads, and whether faceting runs in batches on
/// several threads. Both are off by default.
class MultiThreadOptionGroup : public OptionGroup {
public:
    /// The group, made and loaded on first use.
    static MultiThreadOptionGroup* get();

    bool multiThreadLumo() const { return m_multiThreadLumo.value(); }
    void multiThreadLumo(bool on) { m_multiThreadLumo.value(on); }
    bool multiThreadBatchFacet() const { return m_multiThreadBatchFacet.value(); }
    void multiThreadBatchFacet(bool on) { m_multiThreadBatchFacet.value(on); }

private:
    MultiThreadOptionGroup();
    Option<bool> m_multiThreadLumo;
    Option<bool> m_multiThreadBatchFacet;
};

} // namespace Brio
