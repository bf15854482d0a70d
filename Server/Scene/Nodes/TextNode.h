#pragma once
#include <Lumo/Graphics/ATextNode.h>
#include <Lumo/Objects/Mutex.h>
#include <Lumo/Objects/Vec.h>
#include <Scene/Foundations/SceneClass.h>

namespace Lumo::Scene {

/// A text label of the scene: placed by its anchor, recoloured by effect attributes that
/// outrank its priority. All text nodes share one lock, because the text machinery is not
/// safe to run from several threads.
class TextNode : public Lumo::Text::ATextNode, public NetObjectCountImpl<TextNode> {
    LUMO_SCENE_CLASS(TextNode)
public:
    using RealizeCallback = void (*)(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState&,
                                     Lumo::Graphics::WorldIterator*, Lumo::Graphics::ARenderNode*);
    /// An anchor's second component meaning "the first line's baseline".
    static constexpr float kBaselineAnchor = -1.0f;

    static TextNode* Make() { return new TextNode; }

    /// The anchor as fractions of the text box; a baseline anchor is measured into a fraction.
    Lumo::Objects::vec2<float> Anchor();
    void Anchor(const Lumo::Objects::vec2<float>& anchor) { m_anchor = anchor; }
    int Priority() const { return m_priority; }
    void Priority(int priority) { m_priority = priority; }

    using ATextNode::TextData;
    /// Sets the text and drops every cached derived drawing data.
    void TextData(const wchar_t* text) override;
    void TextData(const wchar_t* text, unsigned length) override;

    void RealizeNode(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                     Lumo::Graphics::WorldIterator* iterator) override;
    Lumo::Objects::SBox3 WorldBox() override;

    /// The lock shared by every text node.
    static Lumo::Objects::Threads::Mutex& SyncRoot();
    static void RealizeMethodCB(RealizeCallback callback);
    static RealizeCallback RealizeMethodCB();

protected:
    TextNode() = default;

private:
    Lumo::Objects::vec2<float> m_anchor{0.5f, 0.5f};
    int m_priority = -1;
};

} // namespace Lumo::Scene
