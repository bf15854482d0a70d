#include <Scene/Change/DecorationNodeData.h>

namespace Brio::Scene {

using Lumo::Objects::UString;

UString* DecorationNodeData::StaticClassName() {
    static UString* name = Lumo::Objects::Intern(L"DecorationNodeData");
    return name;
}
UString* DecorationNodeData::ClassName() const {
    return StaticClassName();
}
void* DecorationNodeData::GetInterface(UString* name) {
    return name == StaticClassName() ? this : NodeData::GetInterface(name);
}

DecorationNodeData* DecorationNodeData::make(DecorationWorldType worldType, Lumo::Graphics::ARenderNode* node,
                                             INodeSource* source, Lumo::Scene::ENodeType type,
                                             bool extendedAttributes) {
    auto* data = new DecorationNodeData(worldType, type);
    data->source(source);
    data->Attach(node, extendedAttributes || type == Lumo::Scene::eInstanceNode ||
                           type == Lumo::Scene::eReferenceInstanceNode);
    return data;
}

} // namespace Brio::Scene
