#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/EAttributeType.h>
#include <Scene/Change/ChangePacket.h>
#include <Scene/Change/ProxyTree.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Nodes/ReferenceNodeData.h>

#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/ATextNode.h>
#include <Lumo/Graphics/AttributeLODList.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/RenderFlags.h>

#include <atomic>

namespace Brio::Scene {

using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::UString;

namespace {
std::atomic<ChangePacket::DumpWriter> g_dumpWriter{nullptr};

template <class T> T* as(ARenderNode* node) {
    return node ? static_cast<T*>(node->GetInterface(T::StaticClassName())) : nullptr;
}

/// change-type bits called for by changed attribute kinds
std::uint32_t bitsForKinds(unsigned kinds) {
    using namespace Lumo::Scene;
    auto has = [kinds](EAttributeType t) { return ((kinds >> t) & 1u) != 0; };
    std::uint32_t bits = 0;
    if (has(eEffect))
        bits |= RevalidatePacket::kEffectChange;
    if (has(eBillBoard))
        bits |= RevalidatePacket::kBillBoardChange;
    if (has(eLineStyle))
        bits |= RevalidatePacket::kLineStyleChange;
    if (has(eTransform) || has(eDepthPriority) || has(eVisibility) || has(ePixelScale))
        bits |= RevalidatePacket::kTransformChange;
    if (has(eOpacity))
        bits |= RevalidatePacket::kOpacityChange;
    return bits;
}
} // namespace

UString* ChangePacket::StaticClassName() {
    static UString* name = Lumo::Objects::Intern(L"Brio::Scene::ChangePacket");
    return name;
}
UString* ChangePacket::ClassName() const {
    return StaticClassName();
}
void* ChangePacket::GetInterface(UString* name) {
    return name == StaticClassName() ? this : RevalidatePacket::GetInterface(name);
}

ChangePacket::ChangePacket(ARenderNode* node) : RevalidatePacket(node) {}
ChangePacket::~ChangePacket() = default;

ChangePacket* ChangePacket::make(ARenderNode* node) {
    return new ChangePacket(node);
}

void ChangePacket::qualifier(std::uint64_t q) {
    m_qualifier = q;
    m_hasQualifier = true;
}

void ChangePacket::clientType(std::uint32_t types) {
    m_clientType = types;
    m_hasClientType = true;
}

void ChangePacket::doubleSided(EDoubleSided mode) {
    m_doubleSided = mode;
    m_hasDoubleSided = true;
}

void ChangePacket::textData(const wchar_t* text) {
    m_text = text ? text : L"";
    m_hasText = true;
}

void ChangePacket::primitive(Lumo::Graphics::APrimitive* primitive) {
    m_primitive = primitive;
    m_hasPrimitive = true;
    AddChangeType(kNewGeometry);
}

void ChangePacket::geometry(Lumo::Devices::SimpleMesh* mesh, int lod) {
    if (!mesh || lod < 0 || lod >= kLevels)
        return;
    m_meshes[lod] = mesh;
    AddChangeType(kNewGeometry);
    m_newMeshLevels = static_cast<std::uint16_t>(m_newMeshLevels | (1u << lod));
}

Lumo::Devices::SimpleMesh* ChangePacket::mesh(int lod) const {
    auto it = m_meshes.find(lod);
    return it == m_meshes.end() ? nullptr : it->second.get();
}

void ChangePacket::boundingBox(const Lumo::Objects::SBox3& box) {
    if (!box.IsEmpty())
        NewBoundingBox(box);
}

void ChangePacket::setFlags(std::uint32_t mask, bool on) {
    if (on) {
        m_flagsOff &= ~mask;
        m_flagsOn |= mask;
    } else {
        m_flagsOn &= ~mask;
        m_flagsOff |= mask;
    }
    m_hasFlags = true;
}

void ChangePacket::dropMeshesOutside(std::uint16_t levels) {
    for (auto it = m_meshes.begin(); it != m_meshes.end();)
        it = (levels >> it->first) & 1u ? std::next(it) : m_meshes.erase(it);
}

void ChangePacket::invalidate(DataChange::EChangeType types) {
    DataChange::set(m_revalidate, types);
    if (DataChange::test(types, DataChange::eGeometry)) {
        ChangeType(ChangeType() & ~(kNewGeometry | kNewBox));
        m_newMeshLevels = 0;
        dropMeshesOutside(0);
    }
}

GroupNode* ChangePacket::attributeHolder(bool create) {
    if (!m_holder && create)
        m_holder = Lumo::Scene::MakeReferenceNode(Node(), nullptr, Lumo::Graphics::eSingleNodeWorld);
    return m_holder;
}

Lumo::Scene::AttributeSet* ChangePacket::attributeSet() {
    return Lumo::Scene::GetAttributeSet(attributeHolder(true));
}

void ChangePacket::prepare() {
    ChangeType(ChangeType() & (kNewGeometry | kNewBox));
    if (m_holder) {
        AddChangeType(kAttributeChange);
        AddChangeType(bitsForKinds(ProxyTree::attributeKinds(*m_holder)));
    }
}

bool ChangePacket::UpdateNode() {
    ARenderNode* node = Node();
    if (!node)
        return false;
    applyOwn(node);
    m_merged.apply();
    return true;
}

void ChangePacket::applyOwn(ARenderNode* node) {
    if (m_holder) {
        // Flag the node while its attributes change; restore, not force, the flag after.
        bool wasSet = node->Test(kApplyingFlag);
        AutoPtr<ARenderNode> hold = node;
        node->SetFlags(kApplyingFlag, true);
        ProxyTree::apply(*m_holder, *node, nullptr);
        node->SetFlags(kApplyingFlag, wasSet);
    }

    auto* lod = as<Lumo::Scene::LODGeometryNode>(node);
    auto* geometry = lod ? nullptr : as<Lumo::Graphics::GeometryNode>(node);
    Lumo::Graphics::BaseGroupNode* group = (lod || geometry) ? nullptr : node->AsGroup();

    if (NodeData* data = nodeData(node)) {
        data->forgetModelBox();
        if (m_hasQualifier)
            data->qualifier(m_qualifier);
        if (m_hasClientType)
            data->clientType(m_clientType);
        if (m_hasDoubleSided)
            data->doubleSided(m_doubleSided);
        m_hasQualifier = m_hasClientType = m_hasDoubleSided = false;
    }
    if (DataChange::test(m_revalidate, DataChange::eGeometry) && (lod || geometry)) {
        if (lod)
            for (int level = 0; level < kLevels; ++level)
                lod->RenderGeometry(nullptr, level);
        else
            geometry->RenderGeometry(nullptr);
        node->SetFlags(kGeometryDerivedFlags, false);
    }
    if (ChangeType() & kNewGeometry) {
        if (lod) {
            for (int level = 0; level < kLevels; ++level)
                if ((m_newMeshLevels >> level) & 1u) {
                    lod->RenderGeometry(mesh(level), level);
                    m_newMeshLevels = static_cast<std::uint16_t>(m_newMeshLevels & ~(1u << level));
                }
        } else if (geometry && ((m_newMeshLevels >> Lumo::Graphics::GeometryNode::kGeometryLevel) & 1u)) {
            geometry->RenderGeometry(mesh(Lumo::Graphics::GeometryNode::kGeometryLevel));
        }
    }
    if (HasNewBoundingBox()) {
        if (lod)
            lod->WorldBox(NewBoundingBox());
        else if (geometry || group)
            Lumo::Graphics::ChangePacket::UpdateNode(); // these box themselves from the new data
    }
    if (m_hasText)
        if (auto* text = as<Lumo::Text::ATextNode>(node))
            text->TextData(m_text.c_str());
    if (m_hasPrimitive)
        if (auto* primitiveNode = as<Lumo::Graphics::APrimitiveNode>(node)) {
            if (Lumo::Graphics::AttributeLODList* cache = node->Attributes())
                cache->ClearAll();
            primitiveNode->Primitive(m_primitive);
            node->SetFlags(kGeometryDerivedFlags, false);
        }
    if (m_hasFlags) {
        node->SetFlags(m_flagsOn, true);
        node->SetFlags(m_flagsOff, false);
    }
    if (nodeType(node) == Lumo::Scene::eViewFragmentNode && affectsWorldBox(ChangeType()))
        node->SetFlags(Lumo::Graphics::eFlagWorldBoxValid, false);
}

Lumo::Graphics::IChangePacket* ChangePacket::MergeChanges(IChangePacket& later) {
    auto* other = static_cast<ChangePacket*>(later.GetInterface(StaticClassName()));
    if (!other) {
        m_merged.add(later);
        return this;
    }
    RevalidatePacket::MergeChanges(later);
    dropMeshesOutside(m_newMeshLevels); // levels a later geometry revalidation made obsolete
    if (other->m_holder) {
        if (!m_holder)
            m_holder = other->m_holder;
        else
            ProxyTree::merge(*m_holder, *other->m_holder);
    }
    if (other->m_hasQualifier)
        qualifier(other->m_qualifier);
    if (other->m_hasClientType)
        clientType(other->m_clientType);
    if (other->m_hasDoubleSided)
        doubleSided(other->m_doubleSided);
    for (int level = 0; level < kLevels; ++level)
        if ((other->m_newMeshLevels >> level) & 1u)
            geometry(other->mesh(level), level);
    if (other->HasNewBoundingBox() && !other->NewBoundingBox().IsEmpty())
        NewBoundingBox(other->NewBoundingBox());
    if (other->m_hasText)
        textData(other->m_text.c_str());
    if (other->m_hasPrimitive)
        primitive(other->m_primitive);
    if (other->m_hasFlags) {
        setFlags(other->m_flagsOn, true);
        setFlags(other->m_flagsOff, false);
    }
    other->m_merged.moveInto(m_merged);
    prepare();
    if (!m_dumpPath.empty())
        testDumpToXML(m_dumpPath);
    return this;
}

bool ChangePacket::testDumpToXML(const std::wstring& path) const {
    DumpWriter writer = g_dumpWriter;
    return writer && writer(*this, path);
}

void ChangePacket::dumpWriter(DumpWriter writer) {
    g_dumpWriter = writer;
}
ChangePacket::DumpWriter ChangePacket::dumpWriter() {
    return g_dumpWriter;
}

} // namespace Brio::Scene
