#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

namespace Lumo::Devices {

/// What a pick asks for. Selection types: 1 keeps what lies wholly inside a rectangle (a
/// window pick), 3 what the region touches (a point, or a crossing rectangle). The hint asks for
/// the closest item only; the output and level numbers are the caller's and travel unchanged.
class SelectionContext : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static SelectionContext* Make() { return new SelectionContext; }
    /// Back to the defaults: type 3, level 0, software, no culling, output 0, no hint.
    void Reset() { *this = SelectionContext(); }

    int SelectionType() const { return m_type; }
    void SelectionType(int t) { m_type = t; }
    int SelectionLevel() const { return m_level; }
    void SelectionLevel(int l) { m_level = l; }
    bool IsHWPick() const { return m_hw; }
    void IsHWPick(bool on) { m_hw = on; }
    bool IsCullBackFace() const { return m_cullBack; }
    void IsCullBackFace(bool on) { m_cullBack = on; }
    int SelectionOutput() const { return m_output; }
    void SelectionOutput(int o) { m_output = o; }
    bool SelectionHint() const { return m_hint; }
    void SelectionHint(bool on) { m_hint = on; }

protected:
    SelectionContext() = default;
    SelectionContext(const SelectionContext&) = default;
    SelectionContext& operator=(const SelectionContext& o) {
        m_type = o.m_type;
        m_level = o.m_level;
        m_hw = o.m_hw;
        m_cullBack = o.m_cullBack;
        m_output = o.m_output;
        m_hint = o.m_hint;
        return *this;
    }

private:
    int m_type = 3, m_level = 0, m_output = 0;
    bool m_hw = false, m_cullBack = false, m_hint = false;
};

} // namespace Lumo::Devices
