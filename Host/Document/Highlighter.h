#pragma once
#include <Lumo/Objects/AutoPtr.h>

#include <vector>

namespace Lumo::Graphics {
class GroupNode;
}

namespace Host {

class Body;
class Document;
class Instance;
struct PickHit;

/// Shows a selection and a prehighlight in every view of a document. The body a pick hit, in
/// the placement that was hit, goes into the scene library's selection (or prehighlight)
/// effect scene, whose passes draw it over the model in the active environment's selection (or
/// highlight) colours; the model itself is not touched. One body each; an edge or vertex hit
/// shows its body. Changes are seen at the next frame. Clear before removing a shown body.
class Highlighter {
public:
    explicit Highlighter(Document& doc);
    /// Clears what it shows.
    ~Highlighter();
    Highlighter(const Highlighter&) = delete;
    Highlighter& operator=(const Highlighter&) = delete;

    /// Shows the hit's body as the selection; a hit without one (the background) clears it.
    /// True when what is shown changed.
    bool select(const PickHit& hit);
    /// The same for the prehighlight, except that what is selected is not prehighlighted too.
    bool prehighlight(const PickHit& hit);
    bool clearSelection();
    bool clearPrehighlight();

    /// The body shown, or null.
    const Body* selected() const { return m_selection.body; }
    const Body* prehighlighted() const { return m_prehighlight.body; }

private:
    struct Shown {
        const Body* body = nullptr;
        std::vector<const Instance*> placements;
        Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> faces, edges;
    };
    bool show(Shown& shown, Lumo::Graphics::GroupNode* scene, const Body* body,
              const std::vector<const Instance*>& placements);

    Document& m_doc;
    Shown m_selection, m_prehighlight;
};

} // namespace Host
