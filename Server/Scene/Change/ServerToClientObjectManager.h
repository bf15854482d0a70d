#pragma once
#include <string>
#include <vector>

namespace Brio::Scene {

class CreateChangePacket;

/// The server end of the mirrored scene channel: keeps the create packets posted while the
/// channel is on, and the last text written for the client. Writing packets as text and
/// reading them back belong to the channel's text format; until a writer is installed a sync
/// writes nothing and keeps what was posted.
class ServerToClientObjectManager {
public:
    static ServerToClientObjectManager* get();

    /// Appends the packet (the manager takes a reference).
    void postToObjectManager(CreateChangePacket* packet);
    int createPacketCount() const { return int(m_created.size()); }
    CreateChangePacket* createPacket(int i) const;

    /// Writes the posted create packets and the waiting change packets as one text and
    /// applies it to the client scene.
    void syncChanges();
    /// Parses the text and builds or updates client nodes through the installed reader.
    void updateClientScene(std::string& json);
    const std::string& lastText() const { return m_text; }

    /// The channel's format: write every waiting packet into one text (answer false to leave
    /// the create list as it is), and apply such a text to the client scene.
    using Writer = bool (*)(ServerToClientObjectManager& manager, std::string& text);
    using Reader = void (*)(const std::string& text);
    static void channel(Writer writer, Reader reader);

    /// Drops the posted create packets (the writer calls it once they are written).
    void clearCreatePackets();
    ~ServerToClientObjectManager();

private:
    ServerToClientObjectManager() = default;
    std::vector<CreateChangePacket*> m_created; // one reference each
    std::string m_text;
};

} // namespace Brio::Scene
