#pragma once
#include <Lumo/Graphics/StandardObjectManager.h>

namespace Brio::Scene {

/// The scene's change manager: the graphics system's queue, with no world of its own.
class StandardObjectManagerEx : public Lumo::Graphics::StandardObjectManager {
public:
    static StandardObjectManagerEx* make() { return new StandardObjectManagerEx; }
    ~StandardObjectManagerEx() override;

protected:
    StandardObjectManagerEx() = default;
};

/// The revalidate manager: applying its packets asks sources to rebuild and changes no world
/// itself, so it announces nothing.
class RevalidateObjectManager : public Lumo::Graphics::StandardObjectManager {
public:
    static RevalidateObjectManager* make() { return new RevalidateObjectManager; }
    ~RevalidateObjectManager() override;

protected:
    RevalidateObjectManager() = default;
    void WorldAboutToChange(Lumo::Graphics::IChangePacket&) override {}
    void WorldChanged(Lumo::Graphics::IChangePacket&) override {}
};

} // namespace Brio::Scene
