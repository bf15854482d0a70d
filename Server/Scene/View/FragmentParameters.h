#pragma once
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/Vec.h>

#include <string>

namespace Lumo::Objects {
class ARefCounted;
}
namespace Lumo::Devices {
class AFragment;
class ARenderCamera;
class EffectInstance;
class RenderTarget;
} // namespace Lumo::Devices
namespace Lumo::Graphics {
class ARenderNode;
class TraversalStateList;
} // namespace Lumo::Graphics

namespace Brio::Scene {

/// Sets and reads the named arguments of a fragment graph. A name is an argument of a graph
/// when the graph or one of its fragments takes an input of that name, or a script of the
/// graph reads it; every other name answers false, as does a value of the wrong kind for a
/// value input.
class FragmentParameters {
public:
    using Graph = Lumo::Devices::AFragment;

    static bool setArg(Graph* graph, const wchar_t* name, const std::wstring& value);
    static bool setArg(Graph* graph, const wchar_t* name, Lumo::Devices::ARenderCamera* value);
    static bool setArg(Graph* graph, const wchar_t* name, Lumo::Graphics::ARenderNode* value);
    static bool setArg(Graph* graph, const wchar_t* name, Lumo::Devices::RenderTarget* value);
    static bool setArg(Graph* graph, const wchar_t* name, bool value);
    static bool setArg(Graph* graph, const wchar_t* name, Lumo::Devices::EffectInstance* value);
    static bool setArg(Graph* graph, const wchar_t* name, const Lumo::Objects::mat4<float>& value);
    static bool setArg(Graph* graph, const wchar_t* name, Lumo::Graphics::TraversalStateList* value);
    static bool setArg(Graph* graph, const wchar_t* name, float value);
    static bool setArg(Graph* graph, const wchar_t* name, int value);
    static bool setArg(Graph* graph, const wchar_t* name, const Lumo::Objects::vec2<float>& value);
    static bool setArg(Graph* graph, const wchar_t* name, const Lumo::Objects::vec3<float>& value);
    static bool setArg(Graph* graph, const wchar_t* name, const Lumo::Objects::vec4<float>& value);
    /// Any other object (a render list of several worlds, say).
    static bool setObjectArg(Graph* graph, const wchar_t* name, Lumo::Objects::ARefCounted* value);

    static bool getArg(Graph* graph, const wchar_t* name, std::wstring& out);
    static bool getArg(Graph* graph, const wchar_t* name, Lumo::Devices::ARenderCamera*& out);
    static bool getArg(Graph* graph, const wchar_t* name, Lumo::Graphics::ARenderNode*& out);
    static bool getArg(Graph* graph, const wchar_t* name, Lumo::Devices::RenderTarget*& out);
    static bool getArg(Graph* graph, const wchar_t* name, bool& out);
    static bool getArg(Graph* graph, const wchar_t* name, Lumo::Devices::EffectInstance*& out);
    static bool getArg(Graph* graph, const wchar_t* name, Lumo::Objects::mat4<float>& out);
    static bool getArg(Graph* graph, const wchar_t* name, Lumo::Graphics::TraversalStateList*& out);
    static bool getArg(Graph* graph, const wchar_t* name, Lumo::Objects::vec4<float>& out);

    /// True when name is an argument of graph (see above).
    static bool hasArg(Graph* graph, const wchar_t* name);
};

} // namespace Brio::Scene
