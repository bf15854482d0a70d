// brioscene: the sample host's command-line program. For now it shows the attribute model:
// it builds a small assembly graph, merges attribute sets down each path and prints them.
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Scene.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/GraphWalker.h>

#include <Brio/Base/OptionGroup.h>
#include <Brio/Base/PathInfo.h>
#include <Brio/Base/StringConversion.h>
#include <Brio/Base/TextCommandConsole.h>

#include <CLI/CLI.hpp>

#include "DemoRender.h"

#include <unistd.h>

#include <iostream>

#include <chrono>
#include <set>

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
    std::vector<AutoPtr<GroupNode>> instances;
    std::vector<AutoPtr<Lumo::Graphics::GeometryNode>> bodies;
};

GroupNode* MakeNode(ENodeType type, bool extended, unsigned clientType) {
    GroupNode* node = GroupNode::Make();
    ANodeData::Make(node, type, extended)->clientType(clientType);
    return node;
}

AttributeSet* SetOf(ARenderNode* node) {
    return ANodeData::GetNodeData(node)->GetAttributeSet();
}

Lumo::Devices::SimpleMesh* UnitTriangle() {
    Lumo::Devices::VertexBufferBuilder vb(Lumo::Devices::eVertexPosition | Lumo::Devices::eVertexNormal);
    vb.Normal({0, 0, 1});
    vb.AddVertex({0, 0, 0});
    vb.AddVertex({1, 0, 0});
    vb.AddVertex({0, 1, 0});
    Lumo::Devices::IndexBufferBuilder ib;
    ib.AddTriangle(0, 1, 2);
    return Lumo::Devices::SimpleMesh::Make(vb, ib, Lumo::Devices::ePrimTriangleList);
}

Demo BuildAssembly(int instanceCount) {
    Demo d;
    d.root = MakeNode(eGroupNode, true, 0);
    d.component = MakeNode(eGroupNode, false, kComponent);
    d.root->AddChild(d.component);
    // Half-transparent assembly, and a type-specific child set that travels through
    // components and instances to every body below and hides it...
    SetOf(d.root)->SetAttribute(OpacityAttribute::Make(0.5f, false));
    AutoPtr<Lumo::Devices::SimpleMesh> mesh = UnitTriangle();
    auto* rootSet = static_cast<AttributeSetEx*>(SetOf(d.root));
    rootSet->GetAttributeSet(kBody, kComponent | kInstance, true)->SetAttribute(VisibilityAttribute::Make(false));
    for (int i = 0; i < instanceCount; ++i) {
        GroupNode* inst = MakeNode(eInstanceNode, true, kInstance);
        SetOf(inst)->SetAttribute(
            TransformAttribute::Make(mat4<float>::Translation(vec3<float>(10.f * i, 0, 0)), false));
        AutoPtr<Lumo::Graphics::GeometryNode> body = Lumo::Graphics::GeometryNode::Make();
        ANodeData::Make(body, eGeometryNode, false)->clientType(kBody);
        body->RenderGeometry(mesh);
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
            case eCarryOn:
                next.push_back(p);
                break;
            case eNoMatch:
                break;
            }
        }
        pending.swap(next);
    }
}

std::string Narrow(const Lumo::Objects::KString& s) {
    return s.Utf8();
}

void RunWalk(Demo& d);

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
                if (c == '\n')
                    c = ' ';
            std::printf("  %-14ls %s\n", AttributeTypeName(a->Type()), text.c_str());
        }
    }
    RunWalk(d);
    return 0;
}

/// Walks the assembly as a frame would and summarises what it would draw.
void RunWalk(Demo& d) {
    SceneWalk::Install();
    AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    Lumo::Graphics::GraphWalker walker(*dc);
    AutoPtr<TraversalState> seed = TraversalState::Make();
    walker.AddClientState(TraversalState::StaticClassName(), seed);
    Lumo::Graphics::RenderItemList items;
    auto start = std::chrono::steady_clock::now();
    walker.Walk(d.root, items);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::set<const void*> matrices;
    for (auto* item : items)
        matrices.insert(item->WorldMatrix());
    std::printf("\nWalk: %llu nodes, %d render items, %zu distinct world matrices, %.3f ms\n",
                (unsigned long long)walker.NodesVisited(), items.Count(), matrices.size(), ms);
    SceneWalk::Uninstall();
}

/// Runs the given command lines, then the console on the standard input when asked, and
/// saves the preferences they changed. Answers the exit status.
int RunCommands(const std::vector<std::string>& commands, bool console) {
    Brio::TextCommandConsole runner(std::cin, std::cout);
    for (const std::string& line : commands)
        runner.execute(line);
    if (console && !runner.finished()) {
        if (::isatty(STDIN_FILENO))
            runner.prompt("> ");
        runner.run();
    }
    Brio::Status saved = Brio::OptionGroup::saveModified();
    if (!saved.isSuccess())
        std::fprintf(stderr, "brioscene: %s\n", Brio::Utility::toUtf8(saved.message()).c_str());
    return runner.failures() > 0 || saved.failed() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"brioscene: the BrioScene sample host"};
    int instances = 3;
    app.add_option("--instances", instances, "number of instances in the demo assembly")->check(CLI::Range(1, 1000));
    auto* demo = app.add_subcommand("demo", "merge attribute sets down the paths of a demo assembly (default)");
    (void)demo;
    DemoRenderOptions render;
    auto* renderCmd = app.add_subcommand("render", "draw the demo assembly off screen into a PNG");
    renderCmd->add_option("-o,--output", render.output, "the PNG to write")->capture_default_str();
    renderCmd->add_option("--width", render.width, "image width in pixels")
        ->check(CLI::Range(16, 8192))
        ->capture_default_str();
    renderCmd->add_option("--height", render.height, "image height in pixels")
        ->check(CLI::Range(16, 8192))
        ->capture_default_str();
    renderCmd->add_option("--columns", render.columns, "instances across")
        ->check(CLI::Range(1, 100))
        ->capture_default_str();
    renderCmd->add_option("--rows", render.rows, "instances deep")->check(CLI::Range(1, 100))->capture_default_str();
    renderCmd->add_option("--style", render.visualStyle, "visual style: 0 shaded, 2 shaded with edges, 4 hidden")
        ->check(CLI::Range(0, 6))
        ->capture_default_str();
    bool noMsaa = false, noEdges = false, noShadow = false;
    renderCmd->add_flag("--no-msaa", noMsaa, "no multisampling");
    renderCmd->add_flag("--fxaa", render.fxaa, "smooth edges with FXAA");
    renderCmd->add_flag("--no-edges", noEdges, "do not draw body edges");
    renderCmd->add_flag("--no-ground-shadow", noShadow, "no shadow on the ground");
    std::vector<std::string> commands;
    bool console = false;
    std::string optionsDir;
    app.add_option("--command", commands, "run a text command, e.g. \"Options.MSAA /off\" (repeatable)")
        ->expected(1)
        ->take_all();
    app.add_flag("--console", console, "read text commands from the standard input, one a line (\"help\" lists them)");
    app.add_option("--options-dir", optionsDir, "folder of the preference files (default: ~/.config/brioscene)");
    CLI11_PARSE(app, argc, argv);
    if (!optionsDir.empty())
        Brio::PathInfo::optionsDirectory(optionsDir);
    if (!commands.empty() || console)
        return RunCommands(commands, console);
    if (renderCmd->parsed()) {
        render.msaa = !noMsaa;
        render.edges = !noEdges;
        render.groundShadow = !noShadow;
        return RenderDemo(render);
    }
    int rc = RunDemo(instances);
    if (rc == 0 && !demo->parsed())
        rc = RenderDemo(DemoRenderOptions{});
    return rc;
}
