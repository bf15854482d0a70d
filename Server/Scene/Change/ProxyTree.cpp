#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Change/ProxyTree.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Nodes/ReferenceNodeData.h>

#include <Lumo/Graphics/DependencyNotifier.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>

#include <map>
#include <vector>

namespace Brio::Scene {

using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::AutoPtr;
using Lumo::Scene::AttributeSet;
using Lumo::Scene::ReferenceNodeData;

namespace {

/// The names of a proxy's reference-instance map: true for an entry with an instance (held
/// by the node data), false for a removal entry. Node data neither lists its names nor holds
/// entries without an instance, so the names travel with the proxy as an attachment.
class InstanceEntries : public Lumo::Objects::ARefCounted {
public:
    std::map<std::string, bool> entries;
};

Lumo::Objects::UString* entriesKey() {
    static Lumo::Objects::UString* key = Lumo::Objects::Intern(L"Brio::Scene::RefInstanceEntries");
    return key;
}

InstanceEntries* entriesOf(ARenderNode* node, bool create) {
    if (!node)
        return nullptr;
    if (auto* e = static_cast<InstanceEntries*>(node->GetRefAttachment(entriesKey())))
        return e;
    if (!create)
        return nullptr;
    auto* e = new InstanceEntries;
    node->AddRefAttachment(entriesKey(), e);
    return e;
}

/// A copy, so that callers may change the proxy's map while they go through it.
std::map<std::string, bool> entryList(ARenderNode* node) {
    InstanceEntries* e = entriesOf(node, false);
    return e ? e->entries : std::map<std::string, bool>{};
}

std::vector<AutoPtr<ARenderNode>> snapshot(GroupNode& group) {
    std::vector<AutoPtr<ARenderNode>> out;
    for (ARenderNode* child : group.Children())
        out.emplace_back(child);
    return out;
}

GroupNode* asGroupNode(ARenderNode* node) {
    return node ? static_cast<GroupNode*>(node->GetInterface(GroupNode::StaticClassName())) : nullptr;
}

ARenderNode* targetOf(ARenderNode* node) {
    ReferenceNodeData* data = Lumo::Scene::GetReferenceNodeData(node);
    return data ? data->Target() : nullptr;
}

/// Keeps the proxy marks and sets exactly one of target added / target removed.
void setTargetMark(ReferenceNodeData& data, std::uint32_t mark) {
    std::uint32_t keep = data.Flags() & (ReferenceNodeData::eProxy | ReferenceNodeData::eReferenceProxy);
    data.ClearAllFlags();
    if (keep & ReferenceNodeData::eProxy)
        data.MarkProxy();
    if (keep & ReferenceNodeData::eReferenceProxy)
        data.MarkReferenceProxy();
    if (mark == ReferenceNodeData::eTargetAdded)
        data.MarkTargetAdded();
    else if (mark == ReferenceNodeData::eTargetRemoved)
        data.MarkTargetRemoved();
}

/// Everything a reference node shows goes: instances, children, attributes.
void empty(GroupNode& node, ReferenceNodeData& data) {
    data.RemoveTargetFromAllRefInst();
    data.ClearRefInstNodeMap();
    Lumo::Scene::RemoveAllChildren(&node);
    if (AttributeSet* set = data.GetAttributeSet())
        set->RemoveAllAttributes();
    node.RemoveAttachment(entriesKey());
}

/// Drops one live instance group: the target leaves it, its notifier stops, it leaves the node.
void removeLiveInstance(GroupNode& node, ReferenceNodeData& data, const std::string& name) {
    AutoPtr<GroupNode> instance = data.TargetInstance(name);
    if (!instance)
        return;
    if (ARenderNode* target = data.Target()) {
        for (int i = 0; i < target->NotifierCount(); ++i)
            if (target->Notifier(i)->Owner() == instance.get())
                target->Notifier(i)->MarkFinished();
        instance->RemoveChild(target, false);
    }
    data.RemoveTargetInstance(name);
    node.RemoveChild(instance, true);
}

void mergeSets(ARenderNode* into, ARenderNode* from, bool keepRemoves) {
    AttributeSet* a = Lumo::Scene::GetAttributeSet(into);
    AttributeSet* b = Lumo::Scene::GetAttributeSet(from);
    if (a && b)
        a->MergeChange(*b, keepRemoves);
}

unsigned setKinds(const AttributeSet* set) {
    if (!set)
        return 0;
    unsigned kinds = set->GetRemoveAttributes() | set->GetHasAttributes();
    if (const auto* children = set->Children())
        for (AttributeSet* child : *children)
            kinds |= setKinds(child);
    return kinds;
}

/// Shows a proxy's instance in a live reference node: registered, a child, holding the target.
void addLiveInstance(GroupNode& node, ReferenceNodeData& data, const std::string& name, GroupNode* instance) {
    data.TargetInstance(name, instance);
    node.AddChild(instance, true);
    data.AddRefInstAndNotifier(name);
}

/// Gives a reference node a new parent. A reference node's parent is fixed when its data is
/// made, so the data is made anew: marks, attributes and instances move over.
ReferenceNodeData* rebind(GroupNode& node, GroupNode* parent) {
    AutoPtr<ReferenceNodeData> old = Lumo::Scene::GetReferenceNodeData(&node);
    if (!old || old->Parent() == parent)
        return old;
    std::vector<std::pair<std::string, AutoPtr<GroupNode>>> instances;
    for (const auto& [name, present] : entryList(&node))
        if (present && old->TargetInstance(name))
            instances.emplace_back(name, old->TargetInstance(name));
    ReferenceNodeData* data = ReferenceNodeData::Make(&node, old->Target(), parent);
    if (old->GetAttributeSet() && data->GetAttributeSet())
        data->GetAttributeSet()->MergeChange(*old->GetAttributeSet(), true);
    data->clientType(old->clientType());
    data->ClearAllFlags();
    std::uint32_t flags = old->Flags();
    if (flags & ReferenceNodeData::eProxy)
        data->MarkProxy();
    if (flags & ReferenceNodeData::eReferenceProxy)
        data->MarkReferenceProxy();
    if (flags & ReferenceNodeData::eTargetAdded)
        data->MarkTargetAdded();
    if (flags & ReferenceNodeData::eTargetRemoved)
        data->MarkTargetRemoved();
    for (auto& [name, instance] : instances)
        data->TargetInstance(name, instance);
    old->ClearRefInstNodeMap();
    return data;
}

/// Turns a proxy (and its proxy children) into a live reference node under parent: marks
/// cleared, instances shown, the target watched.
void makeLive(GroupNode& proxy, GroupNode& parent) {
    ReferenceNodeData* live = rebind(proxy, &parent);
    if (!live)
        return;
    live->ClearAllFlags();
    for (const auto& [name, present] : entryList(&proxy))
        if (GroupNode* instance = present ? live->TargetInstance(name) : nullptr)
            addLiveInstance(proxy, *live, name, instance);
    proxy.RemoveAttachment(entriesKey());
    live->AddReferenceNotifier();
    for (const AutoPtr<ARenderNode>& child : snapshot(proxy))
        if (GroupNode* g = asGroupNode(child); g && Lumo::Scene::GetReferenceNodeData(g))
            makeLive(*g, proxy);
}

} // namespace

GroupNode* ProxyTree::refInstance(GroupNode* proxy, const std::string& name) {
    ReferenceNodeData* data = Lumo::Scene::GetReferenceNodeData(proxy);
    if (!data)
        return nullptr;
    GroupNode* instance = data->TargetInstance(name);
    if (!instance) {
        AutoPtr<GroupNode> made = Lumo::Scene::MakeInstanceNode(true, true);
        data->TargetInstance(name, made);
        instance = made;
    }
    entriesOf(proxy, true)->entries[name] = true;
    return instance;
}

void ProxyTree::removeInstance(GroupNode* proxy, const std::string& name) {
    ReferenceNodeData* data = Lumo::Scene::GetReferenceNodeData(proxy);
    if (!data)
        return;
    data->RemoveTargetInstance(name);
    entriesOf(proxy, true)->entries[name] = false;
}

void ProxyTree::markRemoved(GroupNode& proxy) {
    ReferenceNodeData* data = Lumo::Scene::GetReferenceNodeData(&proxy);
    if (!data)
        return;
    setTargetMark(*data, ReferenceNodeData::eTargetRemoved);
    empty(proxy, *data);
}

void ProxyTree::clearRemoved(GroupNode& proxy) {
    if (ReferenceNodeData* data = Lumo::Scene::GetReferenceNodeData(&proxy); data && data->IsTargetRemoved())
        setTargetMark(*data, 0); // added and removed exclude each other
}

AutoPtr<GroupNode> ProxyTree::childProxy(ARenderNode* target, bool add) {
    AutoPtr<GroupNode> proxy = Lumo::Scene::MakeReferenceNode(target, nullptr, Lumo::Graphics::eSingleNodeWorld);
    if (ReferenceNodeData* data = Lumo::Scene::GetReferenceNodeData(proxy))
        setTargetMark(*data, add ? ReferenceNodeData::eTargetAdded : ReferenceNodeData::eTargetRemoved);
    return proxy;
}

bool ProxyTree::isInstanceRemoved(ARenderNode* proxy, const std::string& name) {
    InstanceEntries* e = entriesOf(proxy, false);
    if (!e)
        return false;
    auto it = e->entries.find(name);
    return it != e->entries.end() && !it->second;
}

GroupNode* ProxyTree::childReference(ARenderNode& group, ARenderNode* target) {
    Lumo::Graphics::BaseGroupNode* g = group.AsGroup();
    if (!g || !target)
        return nullptr;
    for (ARenderNode* child : g->Children())
        if (targetOf(child) == target)
            return asGroupNode(child);
    return nullptr;
}

unsigned ProxyTree::attributeKinds(ARenderNode& proxy) {
    unsigned kinds = setKinds(Lumo::Scene::GetAttributeSet(&proxy));
    ReferenceNodeData* data = Lumo::Scene::GetReferenceNodeData(&proxy);
    for (const auto& [name, present] : entryList(&proxy))
        if (present && data)
            kinds |= setKinds(Lumo::Scene::GetAttributeSet(data->TargetInstance(name)));
    if (Lumo::Graphics::BaseGroupNode* g = proxy.AsGroup())
        for (ARenderNode* child : g->Children())
            kinds |= attributeKinds(*child);
    return kinds;
}

void ProxyTree::merge(GroupNode& into, GroupNode& later) {
    ReferenceNodeData* a = Lumo::Scene::GetReferenceNodeData(&into);
    ReferenceNodeData* b = Lumo::Scene::GetReferenceNodeData(&later);
    if (!a || !b)
        return;
    // Added and removed exclude each other: the later packet's word wins.
    if (b->IsTargetRemoved()) {
        setTargetMark(*a, ReferenceNodeData::eTargetRemoved);
        empty(into, *a);
    } else if (b->IsTargetAdded()) {
        setTargetMark(*a, ReferenceNodeData::eTargetAdded);
    }
    if (b->IsReferenceProxy())
        a->MarkReferenceProxy();
    mergeSets(&into, &later, true);
    if (b->IsReferenceProxy()) {
        for (const auto& [name, present] : entryList(&later)) {
            GroupNode* theirs = present ? b->TargetInstance(name) : nullptr;
            if (!theirs)
                removeInstance(&into, name);
            else if (GroupNode* mine = a->TargetInstance(name); mine && !isInstanceRemoved(&into, name))
                mergeSets(mine, theirs, true);
            else {
                a->TargetInstance(name, theirs);
                entriesOf(&into, true)->entries[name] = true;
            }
        }
    }
    for (const AutoPtr<ARenderNode>& child : snapshot(later)) {
        GroupNode* mine = childReference(into, targetOf(child));
        GroupNode* theirs = asGroupNode(child);
        if (mine && theirs) {
            merge(*mine, *theirs);
        } else {
            into.AddChild(child, false);
            later.RemoveChild(child, false);
            if (theirs && Lumo::Scene::GetReferenceNodeData(theirs) &&
                Lumo::Scene::GetReferenceNodeData(theirs)->Parent())
                rebind(*theirs, &into); // the old parent goes with the later packet
        }
    }
}

void ProxyTree::apply(GroupNode& proxy, ARenderNode& live, GroupNode* parent) {
    apply(proxy, live, parent, false);
}

void ProxyTree::apply(GroupNode& proxy, ARenderNode& live, GroupNode* parent, bool emptied) {
    Lumo::Graphics::BaseGroupNode* asGroup = live.AsGroup();
    const bool hadChildren = asGroup && asGroup->ChildCount() > 0;
    mergeSets(&live, &proxy, false);
    ReferenceNodeData* source = Lumo::Scene::GetReferenceNodeData(&proxy);
    ReferenceNodeData* dest = Lumo::Scene::GetReferenceNodeData(&live);
    GroupNode* liveGroup = asGroupNode(&live);
    if (source && source->IsReferenceProxy() && dest && liveGroup) {
        for (const auto& [name, present] : entryList(&proxy)) {
            GroupNode* instance = present ? source->TargetInstance(name) : nullptr;
            if (!instance)
                removeLiveInstance(*liveGroup, *dest, name);
            else if (GroupNode* existing = dest->TargetInstance(name))
                mergeSets(existing, instance, false);
            else
                addLiveInstance(*liveGroup, *dest, name, instance);
        }
    }
    if (!liveGroup)
        return;
    for (const AutoPtr<ARenderNode>& child : snapshot(proxy)) {
        ReferenceNodeData* data = Lumo::Scene::GetReferenceNodeData(child);
        GroupNode* childProxy = asGroupNode(child);
        if (!data || !childProxy)
            continue;
        if (data->IsTargetAdded()) {
            liveGroup->AddChild(data->Target(), true);
            continue;
        }
        if (data->IsTargetRemoved() && data->IsProxy()) {
            liveGroup->RemoveChild(data->Target(), true);
            continue;
        }
        GroupNode* existing = childReference(*liveGroup, data->Target());
        bool emptiedNow = false;
        if (existing && data->IsTargetRemoved()) {
            if (ReferenceNodeData* existingData = Lumo::Scene::GetReferenceNodeData(existing))
                empty(*existing, *existingData);
            setTargetMark(*data, 0);
            emptiedNow = true;
        }
        if (!existing && data->IsTargetRemoved())
            continue; // nothing shown there to remove
        if (existing) {
            AutoPtr<GroupNode> hold = existing;
            apply(*childProxy, *existing, liveGroup, emptiedNow);
        } else {
            proxy.RemoveChild(child, false);
            liveGroup->AddChild(child, true);
            makeLive(*childProxy, *liveGroup);
        }
    }
    // Only a node this apply emptied goes: one that never had children stays.
    if (dest && liveGroup->ChildCount() == 0 && (hadChildren || emptied)) {
        GroupNode* owner = dest->Parent() ? dest->Parent() : parent;
        if (owner)
            owner->RemoveChild(liveGroup, true);
    }
}

} // namespace Brio::Scene
