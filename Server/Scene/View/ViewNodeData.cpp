#include <Scene/View/ViewNodeData.h>

#include <Lumo/Graphics/GroupNode.h>
#include <Scene/Environment/Viewport.h>

namespace Brio::Scene {

using Lumo::Objects::UString;

UString* ViewNodeData::StaticClassName() {
    static UString* name = Lumo::Objects::Intern(L"ViewNodeData");
    return name;
}
UString* ViewNodeData::ClassName() const {
    return StaticClassName();
}
void* ViewNodeData::GetInterface(UString* name) {
    return name == StaticClassName() ? this : NodeData::GetInterface(name);
}

ViewNodeData::ViewNodeData() : NodeData(Lumo::Scene::eViewNode) {}
ViewNodeData::~ViewNodeData() = default;

ViewNodeData* ViewNodeData::make(Lumo::Graphics::GroupNode* node, INodeSource* source) {
    auto* data = new ViewNodeData;
    data->source(source);
    data->Attach(node, false);
    return data;
}

StrongRef<Viewport> ViewNodeData::viewport() const {
    return m_viewport;
}
void ViewNodeData::viewport(const StrongRef<Viewport>& viewport) {
    m_viewport = viewport;
}

} // namespace Brio::Scene
