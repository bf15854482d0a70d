#pragma once
#include <Lumo/Graphics/IScriptCallback.h>

namespace Brio::Scene {

/// "TwoSidedProcessor": copies a list's states into a list drawn with front faces culled (the
/// back faces, first) and one drawn with back faces culled. Arguments: in, front, back.
class TwoSidedProcessor : public Lumo::Graphics::IScriptCallback {
    LUMO_DECLARE_CLASS()
public:
    static TwoSidedProcessor* Make() { return new TwoSidedProcessor; }
    bool Execute(Lumo::Graphics::ScriptInterpreter& interpreter,
                 std::vector<Lumo::Devices::FragmentValue>& args) override;
};

/// "Tavex_SortRenderListByZ": sorts a list far to near along the camera's view direction,
/// then keeps each transparent group's members together in their order within the group.
class SortRenderListByZ : public Lumo::Graphics::IScriptCallback {
    LUMO_DECLARE_CLASS()
public:
    static SortRenderListByZ* Make() { return new SortRenderListByZ; }
    bool Execute(Lumo::Graphics::ScriptInterpreter& interpreter,
                 std::vector<Lumo::Devices::FragmentValue>& args) override;
};

/// "Tavex_MergeRenderLists": appends copies of the second list's states to the first.
class MergeRenderLists : public Lumo::Graphics::IScriptCallback {
    LUMO_DECLARE_CLASS()
public:
    static MergeRenderLists* Make() { return new MergeRenderLists; }
    bool Execute(Lumo::Graphics::ScriptInterpreter& interpreter,
                 std::vector<Lumo::Devices::FragmentValue>& args) override;
};

/// "Tavex_SetClippingPlane": with mode "set" remembers the draw context's planes and adds the
/// given one (a, b, c, d); with any other mode restores what it remembered.
class SetClippingPlane : public Lumo::Graphics::IScriptCallback {
    LUMO_DECLARE_CLASS()
public:
    static SetClippingPlane* Make() { return new SetClippingPlane; }
    bool Execute(Lumo::Graphics::ScriptInterpreter& interpreter,
                 std::vector<Lumo::Devices::FragmentValue>& args) override;

private:
    std::vector<Lumo::Objects::vec4<float>> m_saved;
    bool m_hasSaved = false;
};

} // namespace Brio::Scene
