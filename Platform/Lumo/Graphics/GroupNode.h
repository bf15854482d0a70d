#pragma once
#include <Lumo/Graphics/AWorld.h>
#include <Lumo/Graphics/BaseGroupNode.h>
#include <Lumo/Objects/AutoPtr.h>

namespace Lumo::Graphics {

/// The group node clients make, organised by a world.
class GroupNode : public BaseGroupNode {
    LUMO_DECLARE_CLASS()
public:
    static GroupNode* Make(EWorldType type = eSingleNodeWorld);

    AWorld* World() const { return m_world; }

protected:
    explicit GroupNode(EWorldType type);

private:
    Lumo::Objects::AutoPtr<AWorld> m_world;
};

} // namespace Lumo::Graphics
