#pragma once
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mutex.h>
#include <Scene/Attributes/Attribute.h>
#include <Scene/Attributes/LineStyle.h>

namespace Lumo::Devices {
class AFragment;
}

namespace Lumo::Scene {

/// The line style of the subgraph below (a copy of the given style).
class LineStyleAttribute : public Attribute, public NetObjectCountImpl<LineStyleAttribute> {
    LUMO_SCENE_CLASS(LineStyleAttribute)
public:
    static LineStyleAttribute* Make(const LineStyle& style, bool winTies = false, unsigned char priority = 0);
    EAttributeType Type() const override { return eLineStyle; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    const LineStyle& GetLineStyle() const { return m_style; }
    /// The fragment that styles the lines: the screen- or model-space symbolisation, through a
    /// stroke of the weight when it is not 1. Built once and kept; null without the stock
    /// fragments.
    Lumo::Devices::AFragment* GetStyleGraph();
    ~LineStyleAttribute() override;

protected:
    LineStyleAttribute(const LineStyle& style, bool winTies, unsigned char priority);
    void SetLineStyle(const LineStyle& style) { m_style = style; }

private:
    LineStyle m_style;
    Lumo::Objects::Threads::Mutex m_lock;
    Lumo::Objects::AutoPtr<Lumo::Devices::AFragment> m_styleGraph;
};

} // namespace Lumo::Scene
