#pragma once
#include <Lumo/Graphics/ClientTraversalState.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/Vec.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/SimpleAttributeSet.h>

namespace Lumo::Graphics {
class ARenderNode;
class TraversalState;
} // namespace Lumo::Graphics
namespace Lumo::Devices {
class ADrawContext;
class EffectInstance;
class AFragment;
} // namespace Lumo::Devices
namespace Lumo::Objects {
class ADevMatrix;
class SharedMatrix;
} // namespace Lumo::Objects

namespace Lumo::Scene {

class AttributeSet;
class AttributeSetListEx;
class SelectionQualifier;
class TextNode;

/// The scene's state during a walk of the render graph: the attributes accumulated from the
/// root to the current node, and the child sets of ancestors still looking for their nodes.
class TraversalState : public Lumo::Graphics::ClientTraversalState, public NetObjectCountImpl<TraversalState> {
public:
    static Lumo::Objects::UString* StaticClassName(); ///< "SceneTraversalState"
    Lumo::Objects::UString* ClassName() const override;
    void* GetInterface(Lumo::Objects::UString* name) override;
    static int NetObjectCount() { return NetObjectCountImpl<TraversalState>::Count(); }
    int CurObjectCount() const override { return NetObjectCount(); }

    static TraversalState* Make() { return new TraversalState; }

    ClientTraversalState* Clone() override;
    ClientTraversalState* Acquire() override;
    void Reset(ClientTraversalState* from) override;
    void CopyFrom(ClientTraversalState* from) override { Reset(from); }
    void Merge(ClientTraversalState& other) override;
    void Clear() override;

    /// The path merge for one node on the way down: the node's own set, then the pending
    /// sets of ancestors, which apply here, travel on, or drop out.
    void Merge(Lumo::Graphics::ARenderNode* node, const AttributeSet* set);
    /// The path merge for the graphics state's current node.
    void Merge(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState, const AttributeSet* set);
    /// Merges the set's attributes by priority, leaving the pending sets alone.
    void MergeAttributes(const AttributeSet* set);
    void MergeAttributes(Lumo::Devices::ADrawContext*, const AttributeSet* set) { MergeAttributes(set); }
    /// The next Merge of a node's set is skipped once.
    void SkipNextMerge() { m_skipNextMerge = true; }
    void AddPendingAttributeSets(const AttributeSetListEx* list);
    /// The same for a plain list (a set's children), without wrapping it in a counted list.
    void AddPendingAttributeSets(const AttributeSetList& sets);
    /// Puts the pending sets with apply types first.
    void SortPendingAttributeSets();
    const AttributeSetListEx& PendingAttributeSets() const { return *m_pending; }

    bool HasAttribute(EAttributeType type) const { return m_accumulated.HasAttribute(type); }
    Attribute* GetAttribute(EAttributeType type) const { return m_accumulated.GetAttribute(type); }
    const SimpleAttributeSet& Accumulated() const { return m_accumulated; }
    bool Visibility() const;
    bool Selectability() const;
    int SelectionPriority() const;
    SelectionQualifier* GetSelectionQualifier() const;
    int DepthPriority() const;
    bool IsDecalGeometry() const { return HasAttribute(eDecalGeometry); }
    /// The line style's fragment, null without a line-style attribute.
    Lumo::Devices::AFragment* GetStyleGraph() const;
    /// The accumulated effect is a curvature map.
    bool GetCurvatureMapEffect() const;
    /// The effect is a high-quality visual analysis, directly or as a two-sided front face.
    bool IsHighQualityVisualAnalysis() const;
    /// The value of the attribute of that kind, -1 when there is none.
    int Group() const;
    int TransparentLayer() const;
    int OrderInTransparentGroup() const;

    int VisualStyle() const { return m_visualStyle; }
    void VisualStyle(int style) { m_visualStyle = style; }
    int DoubleSided() const { return m_doubleSided; }
    void DoubleSided(int mode) { m_doubleSided = mode; }
    bool IsRefTwig() const { return m_isRefTwig; }
    void IsRefTwig(bool on) { m_isRefTwig = on; }
    bool ColorCyclingEnabled() const { return m_colorCycling; }
    void ColorCyclingEnabled(bool on) { m_colorCycling = on; }
    const Lumo::Objects::vec3<float>& CyclingColor() const { return m_cyclingColor; }
    void CyclingColor(const Lumo::Objects::vec3<float>& c) { m_cyclingColor = c; }

    /// The node's placement from the accumulated transform, billboard, pixel scale and (for
    /// text) anchor. False when a step needed a draw context (or a viewport) and had none;
    /// that step is then skipped.
    bool GetAccumulatedTransform(const Lumo::Devices::ADrawContext* dc, Lumo::Objects::mat4<float>& m,
                                 Lumo::Graphics::ARenderNode* node) const;
    /// The same into a shared device matrix.
    bool GetAccumulatedTransform(const Lumo::Devices::ADrawContext* dc, Lumo::Objects::SharedMatrix& m,
                                 Lumo::Graphics::ARenderNode* node) const;
    /// Gives the graphics state the node's world matrix, consuming billboard and pixel scale
    /// into a transform so that descendants do not apply them again.
    void UpdateTransform(const Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState,
                         Lumo::Graphics::ARenderNode* node);

    /// Turns the accumulated attributes into what a leaf draws: its render item with effect
    /// instance, object id and cull mode (geometry and LOD nodes), the primitive's effect
    /// instance, or the recoloured text.
    void RealizeAttribute(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState,
                          Lumo::Graphics::ARenderNode* node);

    static float GlobalPixelScaleFactor();
    static void GlobalPixelScaleFactor(float factor);
    /// Whether back faces are drawn like front faces rather than in the back-face colour.
    static bool NormalDoubleSideDisplay();
    static void NormalDoubleSideDisplay(bool on);

protected:
    TraversalState();
    /// E drawn two-sided as the double-sided mode and visual style ask.
    Lumo::Objects::AutoPtr<Lumo::Devices::EffectInstance> DoubleSidedEI(Lumo::Devices::ADrawContext& dc,
                                                                        Lumo::Devices::EffectInstance* e);
    void RealizeTextNodeAttribute(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState,
                                  TextNode* text);
    /// Gives this state a pending list of its own before it is changed.
    void OwnPending();
    /// An empty list for this state to own.
    AttributeSetListEx* NewPending();

private:
    bool m_skipNextMerge = false;
    int m_visualStyle = 2;
    int m_doubleSided = 0;
    bool m_isRefTwig = false;
    bool m_colorCycling = false;
    Lumo::Objects::vec3<float> m_cyclingColor;
    SimpleAttributeSet m_accumulated;
    Lumo::Objects::AutoPtr<AttributeSetListEx> m_pending;
    bool m_ownsPending;
    Lumo::Objects::AutoPtr<AttributeSetListEx> m_spares[2]; // lists owned before, reused once unshared
    int m_nextSpare = 0;
};

} // namespace Lumo::Scene
