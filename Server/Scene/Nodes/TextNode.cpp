#include <Scene/Nodes/TextNode.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Graphics/AttributeLODList.h>
#include <Lumo/Graphics/TraversalState.h>

#include <atomic>

namespace Lumo::Scene {

using Lumo::Objects::Threads::MutexLocker;

LUMO_DEFINE_CLASS(TextNode, ATextNode)

namespace {
std::atomic<TextNode::RealizeCallback> g_realize{nullptr};
}

Lumo::Objects::Threads::Mutex& TextNode::SyncRoot() {
    static Lumo::Objects::Threads::Mutex mutex;
    return mutex;
}

void TextNode::RealizeMethodCB(RealizeCallback callback) {
    g_realize.store(callback);
}
TextNode::RealizeCallback TextNode::RealizeMethodCB() {
    return g_realize.load();
}

Lumo::Objects::vec2<float> TextNode::Anchor() {
    if (m_anchor.y != kBaselineAnchor)
        return m_anchor;
    MutexLocker lock(SyncRoot());
    const Lumo::Text::TextMetrics& metrics = Metrics();
    Lumo::Objects::SBox3 extent = metrics.Extent();
    double height = extent.Max().y - extent.Min().y;
    if (extent.IsEmpty() || height <= 0.0)
        return {m_anchor.x, 0.0f};
    double start = metrics.LineStartPosition(0).y;
    return {m_anchor.x, float((start - extent.Min().y) / height)};
}

void TextNode::TextData(const wchar_t* text) {
    ATextNode::TextData(text);
    if (Attributes())
        Attributes()->ClearAll(); // recoloured copies cached by walks are stale too
}

void TextNode::TextData(const wchar_t* text, unsigned length) {
    ATextNode::TextData(text, length);
    if (Attributes())
        Attributes()->ClearAll();
}

void TextNode::RealizeNode(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                           Lumo::Graphics::WorldIterator* iterator) {
    if (RealizeCallback cb = g_realize.load())
        cb(dc, state, iterator, this);
    if (state.IsSelectionPass())
        return;
    MutexLocker lock(SyncRoot());
    if (Lumo::Devices::AVirtualDevice* device = dc.VirtualDevice()) {
        MutexLocker deviceLock(device->SyncRoot());
        ATextNode::RealizeNode(dc, state, iterator);
    } else {
        ATextNode::RealizeNode(dc, state, iterator);
    }
}

Lumo::Objects::SBox3 TextNode::WorldBox() {
    MutexLocker lock(SyncRoot());
    return ATextNode::WorldBox();
}

} // namespace Lumo::Scene
