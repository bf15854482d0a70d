#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

class SelectionQualifier;

/// Whether the subgraph below can be picked, with a selection priority among hits and an
/// optional qualifier that can reject individual hits.
class SelectabilityAttribute : public Attribute, public NetObjectCountImpl<SelectabilityAttribute> {
    LUMO_SCENE_CLASS(SelectabilityAttribute)
public:
    /// The qualifier is shared, not owned: it must outlive the attribute.
    static SelectabilityAttribute* Make(bool selectable, int selectionPriority, SelectionQualifier* qualifier,
                                        bool winTies = false, unsigned char priority = 0);
    EAttributeType Type() const override { return eSelectability; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    bool Selectable() const { return m_selectable; }
    int SelectionPriority() const { return m_selectionPriority; }
    SelectionQualifier* Qualifier() const { return m_qualifier; }

protected:
    SelectabilityAttribute(bool selectable, int selectionPriority, SelectionQualifier* qualifier, bool winTies,
                           unsigned char priority)
        : Attribute(winTies, priority), m_selectable(selectable), m_selectionPriority(selectionPriority),
          m_qualifier(qualifier) {}
    void Selectable(bool selectable) { m_selectable = selectable; }
    void SelectionPriority(int selectionPriority) { m_selectionPriority = selectionPriority; }
    void Qualifier(SelectionQualifier* qualifier) { m_qualifier = qualifier; }

private:
    bool m_selectable;
    int m_selectionPriority;
    SelectionQualifier* m_qualifier;
};

} // namespace Lumo::Scene
