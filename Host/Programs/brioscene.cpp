// brioscene: the sample host's command-line program. For now it shows the attribute model:
// it builds a small assembly graph, merges attribute sets down each path and prints them.
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Scene.h>

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace Lumo::Scene;
using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;

namespace {

constexpr unsigned kInstance = 0x1, kComponent = 0x2, kBody = 0x8;

struct Demo {
    AutoPtr<GroupNode> root, component;
    std::vector<AutoPtr<GroupNode>> instances, bodies;
};

GroupNode* MakeNode(ENodeType type, bool extended, unsigned clientType) {
    GroupNode* node = GroupNode::Make();
    ANodeData::Make(node, type, extended)->clientType(clientType);
    return node;
}

AttributeSet* SetOf(ARenderNode* node) { return ANodeData::GetNodeData(node)->GetAttributeSet(); }

Demo BuildAssembly(int instanceCount) {
    Demo d;
    d.root = MakeNode(eGroupNode, true, 0);
    d.component = MakeNode(eGroupNode, false, kComponent);
    d.root->AddChild(d.component);
    // Half-transparent assembly, and a type-specific child set that travels through
    // components and instances to every body below and hides it...
    SetOf(d.root)->SetAttribute(OpacityAttribute::Make(0.5f, false));
    auto* rootSet = static_cast<AttributeSetEx*>(SetOf(d.root));
    rootSet->GetAttributeSet(kBody, kComponent | kInstance, true)->SetAttribute(VisibilityAttribute::Make(false));
    for (int i = 0; i < instanceCount; ++i) {
        GroupNode* inst = MakeNode(eInstanceNode, true, kInstance);
        SetOf(inst)->SetAttribute(TransformAttribute::Make(mat4<float>::Translation(vec3<float>(10.f * i, 0, 0)), false));
        GroupNode* body = MakeNode(eGroupNode, false, kBody);
        SetOf(body)->SetAttribute(OpacityAttribute::Make(0.5f, false));
        inst->AddChild(body);
        d.component->AddChild(inst);
        d.instances.emplace_back(inst);
        d.bodies.emplace_back(body);
    }
    // ...except in the last instance, whose own child set shows its body with top priority.
    auto* lastSet = static_cast<AttributeSetEx*>(SetOf(d.instances.back()));
    lastSet->GetAttributeSet(kBody, 0, true)->SetAttribute(VisibilityAttribute::Make(true, false, 10));
    return d;
}

/// Merges the sets along root..leaf the way a walk does: each node's own set first, then
/// the child sets of ancestors still pending, which apply, travel on or drop out.
void MergePath(const std::vector<ARenderNode*>& path, SimpleAttributeSet& acc) {
    std::vector<AttributeSet*> pending;
    for (ARenderNode* node : path) {
        AttributeSet* own = SetOf(node);
        acc.Merge(*own);
        std::vector<AttributeSet*> next;
        if (const AttributeSetList* children = own->Children())
            next.assign(children->begin(), children->end());
        for (AttributeSet* p : pending) {
            switch (p->MatchNode(node)) {
            case eApplies:
                acc.Merge(*p);
                if (const AttributeSetList* children = p->Children())
                    next.insert(next.end(), children->begin(), children->end());
                break;
            case eCarryOn: next.push_back(p); break;
            case eNoMatch: break;
            }
        }
        pending.swap(next);
    }
}

std::string Narrow(const Lumo::Objects::KString& s) { return s.Utf8(); }

int RunDemo(int instanceCount) {
    Demo d = BuildAssembly(instanceCount);
    std::printf("Assembly: 1 component, %d instances, 1 body each\n", instanceCount);
    for (int i = 0; i < instanceCount; ++i) {
        SimpleAttributeSet acc(kAttributeTypeCount);
        MergePath({d.root, d.component, d.instances[i], d.bodies[i]}, acc);
        std::printf("\nbody %d:\n", i);
        for (Attribute* a : acc.Attributes()) {
            std::string text = Narrow(a->ToString());
            for (auto& c : text)
                if (c == '\n') c = ' ';
            std::printf("  %-14ls %s\n", AttributeTypeName(a->Type()), text.c_str());
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"brioscene: the BrioScene sample host"};
    int instances = 3;
    app.add_option("--instances", instances, "number of instances in the demo assembly")->check(CLI::Range(1, 1000));
    auto* demo = app.add_subcommand("demo", "merge attribute sets down the paths of a demo assembly (default)");
    (void)demo;
    CLI11_PARSE(app, argc, argv);
    return RunDemo(instances);
}
