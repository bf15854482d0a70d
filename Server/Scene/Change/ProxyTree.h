#pragma once
#include <Lumo/Objects/AutoPtr.h>

#include <string>

namespace Lumo::Graphics {
class ARenderNode;
class GroupNode;
} // namespace Lumo::Graphics

namespace Brio::Scene {

/// Operations on the proxy reference-node trees that change packets carry as their
/// attribute holders: merging a later tree into an earlier one, and applying a tree onto the
/// live graph.
class ProxyTree {
public:
    /// The proxy's instance group of this name, made (reference-instance node data) and
    /// registered as an entry of its reference-instance map when missing.
    static Lumo::Graphics::GroupNode* refInstance(Lumo::Graphics::GroupNode* proxy, const std::string& name);
    /// Makes the proxy's entry of this name a removal entry (drops a pending instance).
    static void removeInstance(Lumo::Graphics::GroupNode* proxy, const std::string& name);
    /// Marks the proxy's target removed and drops everything it carries: children,
    /// instances, attributes.
    static void markRemoved(Lumo::Graphics::GroupNode& proxy);
    /// Clears a removal mark (the proxy is addressed again), keeping the proxy marks.
    static void clearRemoved(Lumo::Graphics::GroupNode& proxy);
    /// A proxy reference node for target hanging nowhere, marked to add or remove the
    /// target as a child of the node it is applied to.
    static Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> childProxy(Lumo::Graphics::ARenderNode* target, bool add);
    /// True when the proxy carries a removal entry for the name.
    static bool isInstanceRemoved(Lumo::Graphics::ARenderNode* proxy, const std::string& name);

    /// Folds tree `later` into tree `into`; children of `later` may move under `into`.
    static void merge(Lumo::Graphics::GroupNode& into, Lumo::Graphics::GroupNode& later);
    /// Applies the tree onto the live node; `parent` is where the live node hangs (may be
    /// null), used when the apply leaves a reference node without children.
    static void apply(Lumo::Graphics::GroupNode& proxy, Lumo::Graphics::ARenderNode& live,
                      Lumo::Graphics::GroupNode* parent);
    /// The union of removed and present attribute kinds of the node's set and, recursively,
    /// of every child set; the same of every proxy child.
    static unsigned attributeKinds(Lumo::Graphics::ARenderNode& proxy);

private:
    static void apply(Lumo::Graphics::GroupNode& proxy, Lumo::Graphics::ARenderNode& live,
                      Lumo::Graphics::GroupNode* parent, bool emptied);

public:
    /// The direct child of group that is a reference node for target, or null.
    static Lumo::Graphics::GroupNode* childReference(Lumo::Graphics::ARenderNode& group,
                                                     Lumo::Graphics::ARenderNode* target);
};

} // namespace Brio::Scene
