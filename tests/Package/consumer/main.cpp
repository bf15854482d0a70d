// An outside project using the installed package through its umbrella headers.
#include <Brio/Brio.h>
#include <Host/Host.h>
#include <Lumo/Lumo.h>
#include <Scene/Scene.h>
#include <ZoGe/ZoGe.h>

#include <cstdio>
#include <filesystem>

using namespace Lumo::Scene;
using Lumo::Objects::AutoPtr;

int main() {
    AutoPtr<Lumo::Graphics::GroupNode> node = Lumo::Graphics::GroupNode::Make();
    ANodeData::Make(node, eGroupNode, false);
    AttributeSet* set = ANodeData::GetNodeData(node)->GetAttributeSet();
    set->SetAttribute(VisibilityAttribute::Make(false));
    set->SetAttribute(OpacityAttribute::Make(0.5f, false));

    SimpleAttributeSet acc;
    acc.Merge(*set);
    acc.Merge(*set); // relative opacities multiply down a path
    std::printf("visibility %ls, opacity %ls\n", acc.GetAttribute(eVisibility)->ToString().c_str(),
                acc.GetAttribute(eOpacity)->ToString().c_str());
    // The installed library finds its resources beside itself.
    auto resources = Brio::PathInfo::sceneResourceDirectory();
    bool found = std::filesystem::exists(resources / "Materials" / "MaterialLibrary.xml") &&
                 std::filesystem::exists(resources / "Textures" / "thread1.bmp");
    std::printf("resources %s\n", found ? "found" : "missing");
    // The sample host's model, counted without drawing.
    Host::Model model;
    Host::BuildDemoAssembly(model);
    std::printf("demo bodies %zu\n", model.counts().bodies);
    return 0;
}
