#include <Scene/Change/NodeData.h>

#include <Brio/Types/Color.h>
#include <Lumo/Graphics/PropertyBag.h>
#include <Scene/Change/ClientTypes.h>

#include <string>
#include <vector>
#include <Lumo/Graphics/AWorld.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/AttributeSetEx.h>

#include <mutex>

namespace Brio::Scene {

using Lumo::Objects::UString;

namespace {
/// Twelve colours far apart in hue, for telling neighbouring parts apart.
Brio::Color DefaultPalette(int index) {
    static const float rgb[][3] = {
        {0.90f, 0.30f, 0.25f}, {0.25f, 0.55f, 0.90f}, {0.30f, 0.75f, 0.35f}, {0.95f, 0.70f, 0.20f},
        {0.60f, 0.35f, 0.80f}, {0.20f, 0.75f, 0.75f}, {0.90f, 0.45f, 0.70f}, {0.55f, 0.55f, 0.20f},
        {0.45f, 0.30f, 0.20f}, {0.35f, 0.40f, 0.55f}, {0.95f, 0.55f, 0.35f}, {0.50f, 0.80f, 0.95f},
    };
    const auto& c = rgb[index % 12];
    return Brio::Color(c[0], c[1], c[2], 1.0f);
}

struct Cycling {
    std::mutex mutex; // the process-wide lock around the counter
    NodeData::CyclingPalette palette = &DefaultPalette;
    int count = 12;
    int next = 0;
};
Cycling& GetCycling() {
    static Cycling cycling;
    return cycling;
}
} // namespace

UString* NodeData::StaticClassName() {
    static UString* name = Lumo::Objects::Intern(L"NodeData");
    return name;
}
UString* NodeData::ClassName() const { return StaticClassName(); }
void* NodeData::GetInterface(UString* name) {
    return name == StaticClassName() ? this : ANodeData::GetInterface(name);
}

NodeData::NodeData(Lumo::Scene::ENodeType type) : ANodeData(type) {}

NodeData::~NodeData() { decorationWorld(nullptr); }

void NodeData::Attach(Lumo::Graphics::ARenderNode* node, bool extended) {
    SetAttributeSet(extended ? static_cast<Lumo::Scene::AttributeSet*>(Lumo::Scene::AttributeSetEx::Make(node, 0, 0))
                             : Lumo::Scene::AttributeSet::Make(node, 0));
}

NodeData* NodeData::make(Lumo::Graphics::ARenderNode* node, INodeSource* source, Lumo::Scene::ENodeType type,
                         bool extended) {
    auto* data = new NodeData(type);
    data->m_source = source;
    data->Attach(node, extended || type == Lumo::Scene::eInstanceNode || type == Lumo::Scene::eReferenceInstanceNode);
    return data;
}

INodeSource* NodeData::source() {
    Lumo::Objects::Threads::MutexLocker lock(m_mutex);
    return m_source;
}

void NodeData::source(INodeSource* source) {
    Lumo::Objects::Threads::MutexLocker lock(m_mutex);
    m_source = source;
}

void NodeData::decorationWorld(Lumo::Graphics::AWorld* world) {
    if (world)
        world->AddRef();
    if (m_decorationWorld)
        m_decorationWorld->ReleaseRef();
    m_decorationWorld = world;
}

const Brio::Color& NodeData::cyclingColor() {
    Lumo::Objects::Threads::MutexLocker lock(m_mutex);
    if (!m_cyclingColor) {
        Cycling& c = GetCycling();
        std::lock_guard<std::mutex> counter(c.mutex);
        m_cyclingColor = std::make_unique<Brio::Color>(c.palette(c.next));
        if (++c.next >= c.count)
            c.next = 0;
    }
    return *m_cyclingColor;
}

namespace {
UString* Key(const wchar_t* text) { return Lumo::Objects::Intern(text); }
} // namespace

void NodeData::writeProperties(Lumo::Serialization::PropertyBag& bag) const {
    // Host entities do not exist yet, so no source is saved as one.
    bag.Set(Key(L"INodeSourceSaved"), false);
    bag.Set(Key(L"Qualifier"), std::uint64_t(m_qualifier));
    std::vector<std::wstring> names;
    bag.Set(Key(L"ClientType"), std::uint32_t(GetStringsForClientType(clientType(), names, false)));
    bag.Set(Key(L"StringsForMaskCount"), std::uint32_t(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i)
        bag.Set(Key((L"StringForMask::" + std::to_wstring(i)).c_str()), names[i]);
}

void NodeData::readProperties(const Lumo::Serialization::PropertyBag& bag) {
    bool saved = false;
    bag.Get(Key(L"INodeSourceSaved"), saved);
    if (saved) {
        std::uint32_t segment = 0;
        if (bag.Get(Key(L"SegmentId"), segment))
            m_segmentId = segment;
        bag.Get(Key(L"INodeSource"), m_savedSourceId);
    }
    std::uint64_t q = 0;
    if (bag.Get(Key(L"Qualifier"), q))
        m_qualifier = q;
    std::uint32_t mask = 0, count = 0;
    bag.Get(Key(L"ClientType"), mask);
    bag.Get(Key(L"StringsForMaskCount"), count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::wstring name;
        if (bag.Get(Key((L"StringForMask::" + std::to_wstring(i)).c_str()), name))
            mask |= RegisterClientType(name);
    }
    clientType(mask);
}

void NodeData::cyclingPalette(CyclingPalette palette, int count) {
    Cycling& c = GetCycling();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.palette = palette && count > 0 ? palette : &DefaultPalette;
    c.count = palette && count > 0 ? count : 12;
    c.next = 0;
}

} // namespace Brio::Scene
