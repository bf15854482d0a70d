#include <Brio/DataModel/ObjectPath.h>
#include <Scene/Change/NodePath.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Model/INodeSource.h>

#include <Scene/Change/SceneNodes.h>

#include <algorithm>

namespace Brio::Scene {

using Lumo::Graphics::ARenderNode;
using Lumo::Scene::ENodeType;

const NodePath& NodePath::emptyPath() {
    static const NodePath empty;
    return empty;
}

ARenderNode* NodePath::first(ENodeType type) const {
    for (int i = 0; i < size(); ++i)
        if (nodeType(m_nodes[i]) == type)
            return m_nodes[i];
    return nullptr;
}

ARenderNode* NodePath::last(ENodeType type) const {
    for (int i = size() - 1; i >= 0; --i)
        if (nodeType(m_nodes[i]) == type)
            return m_nodes[i];
    return nullptr;
}

void NodePath::push(ARenderNode* node) {
    m_nodes.Add(Lumo::Objects::AutoPtr<ARenderNode>(node));
}

void NodePath::append(const NodePath& other) {
    const NodePath copy = other; // appending a path to itself must not read what it adds
    for (int i = 0; i < copy.size(); ++i)
        push(copy[i]);
}

Lumo::Objects::AutoPtr<ARenderNode> NodePath::pop() {
    if (empty())
        return nullptr;
    Lumo::Objects::AutoPtr<ARenderNode> leafNode = m_nodes[size() - 1];
    m_nodes.RemoveAt(size() - 1);
    return leafNode;
}

void NodePath::pop_root() {
    if (!empty())
        m_nodes.RemoveAt(0);
}

bool NodePath::operator==(const NodePath& other) const {
    if (size() != other.size())
        return false;
    for (int i = 0; i < size(); ++i)
        if (m_nodes[i] != other.m_nodes[i])
            return false;
    return true;
}

bool NodePath::operator<(const NodePath& other) const {
    if (size() != other.size())
        return size() < other.size();
    for (int i = 0; i < size(); ++i)
        if (m_nodes[i].get() != other.m_nodes[i].get())
            return std::less<const ARenderNode*>()(m_nodes[i].get(), other.m_nodes[i].get());
    return false;
}

int NodePath::ViewPrefix() const {
    int i = 0;
    while (i < size() - 1 && isViewNode(m_nodes[i]))
        ++i;
    return i;
}

bool NodePath::hasSameRootPath(const NodePath& other) const {
    int a = ViewPrefix(), b = other.ViewPrefix();
    int n = std::min(size() - a, other.size() - b);
    for (int i = 0; i < n; ++i)
        if (m_nodes[a + i] != other.m_nodes[b + i])
            return false;
    return true;
}

bool NodePath::hasSameTailPath(const NodePath& other) const {
    int n = std::min(size(), other.size());
    for (int i = 0; i < n; ++i)
        if (m_nodes[i] != other.m_nodes[i])
            return false;
    return true;
}

NodePath NodePath::commonRoot(const NodePath& other) const {
    NodePath common;
    int n = std::min(size(), other.size());
    for (int i = 0; i < n && m_nodes[i] == other.m_nodes[i]; ++i)
        common.push(m_nodes[i]);
    return common;
}

bool NodePath::makeRelativeTo(const NodePath& base) {
    if (size() < base.size() || !hasSameRootPath(base))
        return false;
    for (int i = 0; i < base.size(); ++i)
        pop_root();
    return true;
}

bool NodePath::makeRelativeTo(const ARenderNode* node) {
    for (int i = size() - 1; i >= 0; --i) {
        if (m_nodes[i].get() == node) {
            for (int k = 0; k <= i; ++k)
                pop_root();
            return true;
        }
    }
    clear();
    return false;
}

NodePath NodePath::pathToLeaf() const {
    NodePath copy = *this;
    copy.pop();
    return copy;
}

void NodePath::removeViewNodes() {
    while (!empty() && isViewNode(root()))
        pop_root();
}

Brio::ObjectPath NodePath::scenePathToLogicalPath(const NodePath& path) {
    Brio::ObjectPath out;
    out.reserve(std::size_t(path.size()) * 2);
    INodeSource* last = nullptr;
    for (int i = path.size() - 1; i >= 0; --i) {
        INodeSource* src = source(path[i]);
        if (!src || src == last)
            continue;
        if (last)
            out.pushFront(src->pathTo(last));
        if (auto* object = static_cast<Brio::Object*>(src->queryInterface(Brio::Object::interfaceId()))) {
            out.pushFront(object);
            last = src;
        }
    }
    if (!out.empty()) {
        out.leafClientType(clientType(path.leaf()));
        out.leafQualifier(qualifier(path.leaf()));
    }
    return out;
}

NodePath NodePath::logicalPathToScenePath(const Brio::ObjectPath& path) {
    NodePath out;
    out.reserve(int(path.size()) * 2);
    INodeSource* last = nullptr;
    for (std::size_t i = 0; i < path.size(); ++i) {
        Brio::Object* object = path[i];
        auto* src = object ? static_cast<INodeSource*>(object->queryInterface(INodeSource::interfaceId())) : nullptr;
        if (!src)
            continue;
        Lumo::Graphics::ARenderNode* node = src->sceneNode();
        if (!node)
            node = src->createScene();
        if (node)
            out.push(node);
        last = src;
    }
    if (last)
        out.append(last->leafNodePath(path.leafQualifier(), path.leafClientType()));
    return out;
}

bool NodePath::hasEquivalentScenePath(const Brio::ObjectPath& path) {
    Brio::ObjectPath back = scenePathToLogicalPath(logicalPathToScenePath(path));
    if (back == path)
        return true;
    if (back.empty() || back.leafClientType() == 0)
        return false;
    if (back.isQualifiedAndPoppable()) {
        back.pop();
    } else {
        back.leafClientType(0);
        back.leafQualifier(0);
    }
    return back == path;
}

} // namespace Brio::Scene
