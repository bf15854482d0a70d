#pragma once
#include <Lumo/Graphics/AWorld.h>
#include <Lumo/Graphics/BaseGroupNode.h>
#include <Lumo/Objects/AutoPtr.h>

#include <atomic>

namespace Lumo::Graphics {

/// The group node clients make, organised by a world.
class GroupNode : public BaseGroupNode {
    LUMO_DECLARE_CLASS()
public:
    static GroupNode* Make(EWorldType type = eSingleNodeWorld);

    /// The group's world, made on first request (most groups, such as the proxies change
    /// packets carry, are never asked).
    AWorld* World() const;
    EWorldType WorldType() const { return m_worldType; }
    ~GroupNode() override;

protected:
    explicit GroupNode(EWorldType type);

private:
    EWorldType m_worldType;
    mutable std::atomic<AWorld*> m_world{nullptr}; // one reference once made
};

} // namespace Lumo::Graphics
