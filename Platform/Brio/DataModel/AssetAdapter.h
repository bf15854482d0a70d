#pragma once

namespace Brio {

class Asset;
class UniqueString;

/// What an add-in attaches to a document to keep its own state beside it (for the scene
/// library, the document's scenes). Owned by the asset, destroyed with it. The asset calls
/// the hooks around saving and loading.
class AssetAdapter {
public:
    explicit AssetAdapter(Asset* asset) : m_asset(asset) {}
    virtual ~AssetAdapter();
    AssetAdapter(const AssetAdapter&) = delete;
    AssetAdapter& operator=(const AssetAdapter&) = delete;

    Asset* asset() const { return m_asset; }

    /// "Brio::AssetAdapter".
    static const UniqueString* interfaceId();
    /// The adapter seen as the interface of that id, or null; kinds answer for their own id
    /// and defer to their base.
    virtual void* queryInterface(const UniqueString* id) const;

    /// Before a save and after a load: make the entities that carry the adapter's state.
    virtual void onCreateSpecialSerializers() {}
    /// When the adapter leaves the document: let go of those entities.
    virtual void onReleaseSpecialSerializers() {}
    /// During a save, after the entities were told: write the document's preview parts.
    virtual void onSavePreview() {}
    /// After a document was loaded into the asset and its entities were told.
    virtual void onAssetLoaded() {}

private:
    Asset* m_asset;
};

} // namespace Brio
