#pragma once
#include <memory>
#include <utility>
#include <vector>

namespace Lumo::Graphics {
class IChangePacket;
class StandardObjectManager;
} // namespace Lumo::Graphics

namespace Brio::Scene {

class ChangePacket;

/// Where change packets wait until the user-interface thread applies them. Node changes post
/// from any thread; syncChanges, on the user-interface thread before views draw or pick,
/// runs the changed callbacks, lets sources rebuild what was invalidated, then applies
/// every waiting packet.
class ObjectManager {
public:
    using ChangedCallback = void (*)(void*);

    static ObjectManager* get();

    /// Queues a packet (the manager takes a reference), merged with one queued for its node.
    void postToChangeManager(Lumo::Graphics::IChangePacket* packet);
    /// Queues a revalidate packet, applied before the changes at the next sync.
    void postToRevalidateManager(Lumo::Graphics::IChangePacket* packet);
    /// Queues the revalidation a change packet asks for (the packet itself is not consumed).
    void postToRevalidateManager(const ChangePacket& packet);

    /// Appends the pair; a null function is ignored.
    void RegisterChangedCallback(ChangedCallback callback, void* data);
    /// Removes the first equal pair; false when none matched.
    bool UnregisterChangedCallback(ChangedCallback callback, void* data);
    void CallChangedCallbacks();

    /// On the user-interface thread only (elsewhere it does nothing): callbacks, revalidation,
    /// then every waiting change.
    void syncChanges();

    /// Whether packets are mirrored through the server-to-client channel: the graphics
    /// option graphicsSplitTestEnabled.
    static bool splitTestEnabled();
    /// The model object manager's sync, run after the changes unless the mode is plain scene
    /// packets; installed by the model-mapping code.
    using ModelSync = void (*)();
    static void modelSync(ModelSync sync);

    Lumo::Graphics::StandardObjectManager* changeManager() const { return m_changes.get(); }
    Lumo::Graphics::StandardObjectManager* revalidateManager() const { return m_revalidates.get(); }

    ~ObjectManager();

private:
    ObjectManager();
    struct Releaser {
        void operator()(Lumo::Graphics::StandardObjectManager* m) const;
    };
    std::unique_ptr<Lumo::Graphics::StandardObjectManager, Releaser> m_changes;
    std::unique_ptr<Lumo::Graphics::StandardObjectManager, Releaser> m_revalidates;
    std::vector<std::pair<ChangedCallback, void*>> m_callbacks;
};

} // namespace Brio::Scene
