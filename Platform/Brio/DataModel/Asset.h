#pragma once
#include <Brio/Base/Status.h>
#include <Brio/Base/StrongRef.h>
#include <Brio/DataModel/Object.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Brio {

class AssetAdapter;
class Segment;
class UniqueString;

/// A host document: its segments of entities, the parts stored beside them (blobs, preview
/// images) and the adapters that add-ins attach to it. Saved to and loaded from one zip
/// archive. Saving is deterministic: a document saved, loaded and saved again gives the same
/// bytes. A load that fails leaves the asset exactly as it was.
class Asset : public Object {
public:
    /// Status codes of failed saves and loads.
    enum EDocumentError : int {
        eFileError = 1,       ///< the file cannot be opened, read or written
        eCorruptDocument = 2, ///< not a document, truncated or damaged
        eNewerDocument = 3,   ///< written by newer versions of the document or its entities
        eUnknownMetaType = 4, ///< holds entities of a kind no loaded library provides
        eMigrationFailed = 5, ///< an entity could not be brought up to date
        eCallbackFailed = 6,  ///< a data-model callback or an adapter threw
    };
    /// The folders of parts kept in the archive beside the entities.
    enum class EPartFolder { eBlobs, ePreview };

    /// Id of the transient segment, which no saved segment uses.
    static constexpr std::uint32_t kTransientSegmentId = 0xFFFFFFFFu;

    static StrongRef<Asset> make(const std::wstring& name = {});

    /// Saved with the document.
    const std::wstring& name() const;
    void name(const std::wstring& name);

    /// A new saved segment with the next free id.
    Segment* createSegment(const std::wstring& name);
    /// The one segment that is never saved, made on first use; it survives loads.
    Segment* transientSegment();
    Segment* segment(std::uint32_t id) const;
    /// The first segment of that name.
    Segment* segment(const std::wstring& name) const;
    /// Saved segments by id, then the transient one when it exists.
    std::vector<Segment*> segments() const;

    /// The asset owns the adapter from now on.
    void addAdapter(std::unique_ptr<AssetAdapter> adapter);
    /// The first adapter, or null.
    AssetAdapter* adapter() const;
    /// The first adapter answering that interface, or null.
    AssetAdapter* adapter(const UniqueString* interfaceId) const;

    /// Stores a named part. Names are relative paths ("lumo", "images/a.png"); false for an
    /// empty name, an absolute one, one with empty, "." or ".." components or backslashes.
    bool putPart(EPartFolder folder, const std::string& name, std::vector<std::uint8_t> bytes);
    /// Null when there is no such part.
    const std::vector<std::uint8_t>* part(EPartFolder folder, const std::string& name) const;
    bool removePart(EPartFolder folder, const std::string& name);
    /// Ordered by name.
    std::vector<std::string> partNames(EPartFolder folder) const;

    /// True while a document is being loaded: entities constructed from a segment that
    /// persisted an older version of their kind migrate.
    bool migrating() const;
    void migrating(bool on);
    /// True while the whole document is converted at once, when entities do not migrate
    /// one by one.
    bool assetMigrating() const;
    void assetMigrating(bool on);
    /// True while the host saves automatically (add-ins may skip costly work).
    bool autoSaving() const;
    void autoSaving(bool on);

    /// Adapters make their special serializers, entities hear eBeforeSave, adapters write
    /// their previews; then every saved segment and part goes to `path`, replacing it only
    /// when all was written; entities hear eAfterSave.
    Status save(const std::string& path);
    /// Reads the document at `path` into this asset, replacing its saved segments, parts and
    /// name; migrates entities persisted at older versions; then entities hear eAfterLoad and
    /// adapters are told. On failure the asset is left as it was.
    Status load(const std::string& path);

protected:
    explicit Asset(const std::wstring& name);
    ~Asset() override;

private:
    friend class DocumentCodec;
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Brio
