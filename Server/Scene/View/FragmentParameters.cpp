#include <Scene/View/FragmentParameters.h>

#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Devices/FragmentGraph.h>
#include <Lumo/Devices/FragmentValue.h>
#include <Lumo/Devices/RenderCamera.h>
#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/ScriptFragment.h>
#include <Lumo/Graphics/TraversalStateList.h>
#include <Lumo/Objects/UString.h>

namespace Brio::Scene {

using Lumo::Devices::AFragment;
using Lumo::Devices::EParameterType;
using Lumo::Devices::FragmentValue;

namespace {

/// The type of the input of that name somewhere in the fragment, eParamNone for an object
/// input or a name scripts read; false when nothing takes the name.
bool Find(AFragment* f, Lumo::Objects::UString* name, EParameterType& type, int depth = 0) {
    if (!f || depth > 32)
        return false;
    if (const int i = f->InputIndex(name); i >= 0) {
        type = f->Inputs()[size_t(i)].type;
        return true;
    }
    if (f->FindArgument(name)) {
        type = Lumo::Devices::eParamNone;
        return true;
    }
    if (auto* g = static_cast<Lumo::Devices::FragmentGraph*>(
            f->GetInterface(Lumo::Devices::FragmentGraph::StaticClassName()))) {
        for (int m = 0; m < g->FragmentCount(); ++m)
            if (Find(g->Fragment(m), name, type, depth + 1))
                return true;
        return false;
    }
    if (auto* s = static_cast<Lumo::Graphics::ScriptFragment*>(
            f->GetInterface(Lumo::Graphics::ScriptFragment::StaticClassName()))) {
        const std::wstring ref = L"@" + name->Text();
        for (const auto& cmd : s->Commands())
            for (const auto& token : cmd)
                if (token == ref ||
                    (token.size() > ref.size() && token.compare(token.size() - ref.size(), ref.size(), ref) == 0 &&
                     token[token.size() - ref.size() - 1] == L'=')) {
                    type = Lumo::Devices::eParamNone;
                    return true;
                }
    }
    return false;
}

bool Compatible(EParameterType type, const FragmentValue& v) {
    using namespace Lumo::Devices;
    switch (type) {
    case eParamNone:
        return true; // object inputs and script names take what they are given
    case eParamFloat:
        return v.kind == FragmentValue::eFloat || v.kind == FragmentValue::eInt;
    case eParamFloat2:
        return v.kind == FragmentValue::eFloat2;
    case eParamFloat3:
        return v.kind == FragmentValue::eFloat3;
    case eParamFloat4:
        return v.kind == FragmentValue::eFloat4;
    case eParamInt:
        return v.kind == FragmentValue::eInt || v.kind == FragmentValue::eBool;
    case eParamMatrix:
        return v.kind == FragmentValue::eMatrix;
    default:
        return v.kind == FragmentValue::eObject;
    }
}

bool Set(AFragment* graph, const wchar_t* name, const FragmentValue& v) {
    if (!graph || !name)
        return false;
    Lumo::Objects::UString* n = Lumo::Objects::Intern(name);
    EParameterType type = Lumo::Devices::eParamNone;
    if (!Find(graph, n, type) || !Compatible(type, v))
        return false;
    graph->SetArgument(n, v);
    return true;
}

const FragmentValue* Get(AFragment* graph, const wchar_t* name) {
    return graph && name ? graph->FindArgument(Lumo::Objects::Intern(name)) : nullptr;
}

template <class T> bool GetObject(AFragment* graph, const wchar_t* name, T*& out) {
    const FragmentValue* v = Get(graph, name);
    T* t = v ? v->As<T>() : nullptr;
    if (!t)
        return false;
    out = t;
    return true;
}

} // namespace

bool FragmentParameters::hasArg(Graph* graph, const wchar_t* name) {
    EParameterType type;
    return graph && name && Find(graph, Lumo::Objects::Intern(name), type);
}

bool FragmentParameters::setArg(Graph* g, const wchar_t* n, const std::wstring& v) {
    return Set(g, n, FragmentValue::Text(v));
}
bool FragmentParameters::setArg(Graph* g, const wchar_t* n, Lumo::Devices::ARenderCamera* v) {
    return Set(g, n, FragmentValue::Object(v));
}
bool FragmentParameters::setArg(Graph* g, const wchar_t* n, Lumo::Graphics::ARenderNode* v) {
    return Set(g, n, FragmentValue::Object(v));
}
bool FragmentParameters::setArg(Graph* g, const wchar_t* n, Lumo::Devices::RenderTarget* v) {
    return Set(g, n, FragmentValue::Object(v));
}
bool FragmentParameters::setArg(Graph* g, const wchar_t* n, bool v) {
    return Set(g, n, FragmentValue::Bool(v));
}
bool FragmentParameters::setArg(Graph* g, const wchar_t* n, Lumo::Devices::EffectInstance* v) {
    return Set(g, n, FragmentValue::Object(v));
}
bool FragmentParameters::setArg(Graph* g, const wchar_t* n, const Lumo::Objects::mat4<float>& v) {
    return Set(g, n, FragmentValue::Matrix(v));
}
bool FragmentParameters::setArg(Graph* g, const wchar_t* n, Lumo::Graphics::TraversalStateList* v) {
    return Set(g, n, FragmentValue::Object(v));
}
bool FragmentParameters::setArg(Graph* g, const wchar_t* n, float v) {
    return Set(g, n, FragmentValue::Float(v));
}
bool FragmentParameters::setArg(Graph* g, const wchar_t* n, int v) {
    return Set(g, n, FragmentValue::Int(v));
}
bool FragmentParameters::setArg(Graph* g, const wchar_t* n, const Lumo::Objects::vec2<float>& v) {
    return Set(g, n, FragmentValue::Float2(v));
}
bool FragmentParameters::setArg(Graph* g, const wchar_t* n, const Lumo::Objects::vec3<float>& v) {
    return Set(g, n, FragmentValue::Float3(v));
}
bool FragmentParameters::setArg(Graph* g, const wchar_t* n, const Lumo::Objects::vec4<float>& v) {
    return Set(g, n, FragmentValue::Float4(v));
}
bool FragmentParameters::setObjectArg(Graph* g, const wchar_t* n, Lumo::Objects::ARefCounted* v) {
    return Set(g, n, FragmentValue::Object(v));
}

bool FragmentParameters::getArg(Graph* g, const wchar_t* n, std::wstring& out) {
    const FragmentValue* v = Get(g, n);
    if (!v || v->kind != FragmentValue::eText)
        return false;
    out = v->text;
    return true;
}
bool FragmentParameters::getArg(Graph* g, const wchar_t* n, Lumo::Devices::ARenderCamera*& out) {
    return GetObject(g, n, out);
}
bool FragmentParameters::getArg(Graph* g, const wchar_t* n, Lumo::Graphics::ARenderNode*& out) {
    return GetObject(g, n, out);
}
bool FragmentParameters::getArg(Graph* g, const wchar_t* n, Lumo::Devices::RenderTarget*& out) {
    return GetObject(g, n, out);
}
bool FragmentParameters::getArg(Graph* g, const wchar_t* n, Lumo::Devices::EffectInstance*& out) {
    return GetObject(g, n, out);
}
bool FragmentParameters::getArg(Graph* g, const wchar_t* n, Lumo::Graphics::TraversalStateList*& out) {
    return GetObject(g, n, out);
}
bool FragmentParameters::getArg(Graph* g, const wchar_t* n, bool& out) {
    const FragmentValue* v = Get(g, n);
    if (!v || (v->kind != FragmentValue::eBool && v->kind != FragmentValue::eInt))
        return false;
    out = v->i != 0;
    return true;
}
bool FragmentParameters::getArg(Graph* g, const wchar_t* n, Lumo::Objects::mat4<float>& out) {
    const FragmentValue* v = Get(g, n);
    if (!v || v->kind != FragmentValue::eMatrix)
        return false;
    out = v->matrix;
    return true;
}
bool FragmentParameters::getArg(Graph* g, const wchar_t* n, Lumo::Objects::vec4<float>& out) {
    const FragmentValue* v = Get(g, n);
    if (!v || v->kind != FragmentValue::eFloat4)
        return false;
    out = {v->f[0], v->f[1], v->f[2], v->f[3]};
    return true;
}

} // namespace Brio::Scene
