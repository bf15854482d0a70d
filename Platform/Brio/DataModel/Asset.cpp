#include <Brio/DataModel/Asset.h>

#include <Brio/Base/Exception.h>
#include <Brio/Base/StringConversion.h>
#include <Brio/DataModel/AssetAdapter.h>
#include <Brio/DataModel/DataModelCallback.h>
#include <Brio/DataModel/DocumentCodec.h>
#include <Brio/DataModel/Entity.h>
#include <Brio/DataModel/EntityMetaType.h>
#include <Brio/DataModel/Segment.h>

#include <atomic>
#include <map>
#include <mutex>

namespace Brio {

struct Asset::Impl {
    mutable std::mutex mutex; // guards the segment list and the parts
    std::wstring name;
    std::vector<StrongRef<Segment>> segments; // saved ones, by id
    StrongRef<Segment> transient;
    std::uint32_t nextSegmentId = 1;
    std::vector<std::unique_ptr<AssetAdapter>> adapters;
    ZipArchive::Parts parts[2];
    std::atomic<bool> migrating{false};
    std::atomic<bool> assetMigrating{false};
    std::atomic<bool> autoSaving{false};

    ZipArchive::Parts& folder(EPartFolder f) { return parts[f == EPartFolder::eBlobs ? 0 : 1]; }
    const ZipArchive::Parts& folder(EPartFolder f) const { return parts[f == EPartFolder::eBlobs ? 0 : 1]; }
};

namespace {

bool validPartName(const std::string& name) {
    if (name.empty() || name.front() == '/' || name.back() == '/' || name.find('\\') != std::string::npos)
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        const std::string_view component(name.data() + start, end - start);
        if (component.empty() || component == "." || component == "..")
            return false;
        start = end + 1;
    }
    return true;
}

/// Every entity of the segments, segment by segment in id order.
std::vector<StrongRef<Entity>> entitiesOf(const std::vector<StrongRef<Segment>>& segments) {
    std::vector<StrongRef<Entity>> out;
    for (const StrongRef<Segment>& segment : segments)
        for (StrongRef<Entity>& entity : segment->entities())
            out.push_back(std::move(entity));
    return out;
}

std::wstring messageOf(const std::exception& error) {
    if (auto* host = dynamic_cast<const Exception*>(&error))
        return host->message();
    return Utility::toWide(error.what());
}

} // namespace

StrongRef<Asset> Asset::make(const std::wstring& name) {
    return StrongRef<Asset>(new Asset(name));
}

Asset::Asset(const std::wstring& name) : m_impl(std::make_unique<Impl>()) {
    m_impl->name = name;
}

Asset::~Asset() {
    for (auto& adapter : m_impl->adapters)
        adapter->onReleaseSpecialSerializers();
    m_impl->adapters.clear();
    for (auto& segment : m_impl->segments)
        segment->detachFromAsset();
    if (m_impl->transient)
        m_impl->transient->detachFromAsset();
}

const std::wstring& Asset::name() const {
    return m_impl->name;
}
void Asset::name(const std::wstring& name) {
    m_impl->name = name;
}

Segment* Asset::createSegment(const std::wstring& name) {
    std::lock_guard lock(m_impl->mutex);
    StrongRef<Segment> segment(new Segment(this, m_impl->nextSegmentId++, name, false, false));
    m_impl->segments.push_back(segment);
    return segment.getTarget();
}

Segment* Asset::transientSegment() {
    std::lock_guard lock(m_impl->mutex);
    if (!m_impl->transient)
        m_impl->transient = StrongRef<Segment>(new Segment(this, kTransientSegmentId, L"Transient", true, false));
    return m_impl->transient.getTarget();
}

Segment* Asset::segment(std::uint32_t id) const {
    std::lock_guard lock(m_impl->mutex);
    if (id == kTransientSegmentId)
        return m_impl->transient.getTarget();
    for (const auto& segment : m_impl->segments)
        if (segment->id() == id)
            return segment.getTarget();
    return nullptr;
}

Segment* Asset::segment(const std::wstring& name) const {
    for (Segment* segment : segments())
        if (segment->name() == name)
            return segment;
    return nullptr;
}

std::vector<Segment*> Asset::segments() const {
    std::lock_guard lock(m_impl->mutex);
    std::vector<Segment*> out;
    for (const auto& segment : m_impl->segments)
        out.push_back(segment.getTarget());
    if (m_impl->transient)
        out.push_back(m_impl->transient.getTarget());
    return out;
}

void Asset::addAdapter(std::unique_ptr<AssetAdapter> adapter) {
    if (adapter)
        m_impl->adapters.push_back(std::move(adapter));
}

AssetAdapter* Asset::adapter() const {
    return m_impl->adapters.empty() ? nullptr : m_impl->adapters.front().get();
}

AssetAdapter* Asset::adapter(const UniqueString* interfaceId) const {
    for (const auto& adapter : m_impl->adapters)
        if (adapter->queryInterface(interfaceId))
            return adapter.get();
    return nullptr;
}

bool Asset::putPart(EPartFolder folder, const std::string& name, std::vector<std::uint8_t> bytes) {
    if (!validPartName(name))
        return false;
    std::lock_guard lock(m_impl->mutex);
    m_impl->folder(folder)[name] = std::move(bytes);
    return true;
}

const std::vector<std::uint8_t>* Asset::part(EPartFolder folder, const std::string& name) const {
    std::lock_guard lock(m_impl->mutex);
    const ZipArchive::Parts& parts = m_impl->folder(folder);
    auto it = parts.find(name);
    return it == parts.end() ? nullptr : &it->second;
}

bool Asset::removePart(EPartFolder folder, const std::string& name) {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->folder(folder).erase(name) != 0;
}

std::vector<std::string> Asset::partNames(EPartFolder folder) const {
    std::lock_guard lock(m_impl->mutex);
    std::vector<std::string> out;
    for (const auto& entry : m_impl->folder(folder))
        out.push_back(entry.first);
    return out;
}

bool Asset::migrating() const {
    return m_impl->migrating.load();
}
void Asset::migrating(bool on) {
    m_impl->migrating.store(on);
}
bool Asset::assetMigrating() const {
    return m_impl->assetMigrating.load();
}
void Asset::assetMigrating(bool on) {
    m_impl->assetMigrating.store(on);
}
bool Asset::autoSaving() const {
    return m_impl->autoSaving.load();
}
void Asset::autoSaving(bool on) {
    m_impl->autoSaving.store(on);
}

Status Asset::save(const std::string& path) {
    std::vector<StrongRef<Segment>> saved;
    try {
        for (auto& adapter : m_impl->adapters)
            adapter->onCreateSpecialSerializers();
        {
            std::lock_guard lock(m_impl->mutex);
            saved = m_impl->segments;
        }
        for (StrongRef<Entity>& entity : entitiesOf(saved))
            entity->metaType()->notify(DataModelCallback::eBeforeSave, entity.getTarget());
        for (auto& adapter : m_impl->adapters)
            adapter->onSavePreview();
    } catch (const std::exception& error) {
        return Status::error(eCallbackFailed, L"Saving was stopped: " + messageOf(error));
    }

    {
        std::lock_guard lock(m_impl->mutex);
        saved = m_impl->segments; // callbacks may have added segments
    }
    Status status = ZipArchive::write(path, DocumentCodec::write(*this));
    if (status.failed())
        return status;

    // The file now holds every kind at its current version.
    for (StrongRef<Entity>& entity : entitiesOf(saved)) {
        const EntityMetaType* type = entity->metaType();
        for (int depth = 0; type && depth < 64; ++depth, type = type->baseMetaType())
            entity->segment()->persistedVersion(type, type->currentVersion());
    }
    try {
        for (StrongRef<Entity>& entity : entitiesOf(saved))
            entity->metaType()->notify(DataModelCallback::eAfterSave, entity.getTarget());
    } catch (const std::exception& error) {
        // The document is written; the caller still learns that a listener failed.
        return Status::warning(eCallbackFailed, L"Saved, but a listener failed: " + messageOf(error));
    }
    return Status::success();
}

Status Asset::load(const std::string& path) {
    ZipArchive::Parts parts;
    Status status = ZipArchive::read(path, parts);
    if (status.failed())
        return status;

    DocumentCodec::Contents contents;
    const bool wasMigrating = migrating();
    migrating(true);
    status = DocumentCodec::read(*this, parts, contents);
    if (status.isSuccess()) {
        // Entities that were read at an older version bring their data up to date.
        for (StrongRef<Entity>& entity : entitiesOf(contents.segments)) {
            if (!entity->migrating())
                continue;
            entity->initializeMigrationHelpers();
            const int result = entity->postMigrate(entity->migratingVersion(entity->metaType()));
            if (result != Entity::eMigrationFailed)
                entity->onPostMigrate();
            entity->uninitializeMigrationHelpers();
            entity->deleteMigrationHelper();
            if (result == Entity::eMigrationFailed) {
                status = Status::error(eMigrationFailed, L"Entity " + std::to_wstring(entity->id()) + L" of segment " +
                                                             std::to_wstring(entity->segment()->id()) +
                                                             L" could not be brought up to date");
                break;
            }
            entity->migrating(false);
        }
    }
    migrating(wasMigrating);
    if (status.failed())
        return status; // the staged segments go with `contents`

    // Take the new contents over, keeping the old ones to go back to.
    std::uint32_t nextSegmentId = 1;
    for (const auto& segment : contents.segments)
        nextSegmentId = std::max(nextSegmentId, segment->id() + 1);
    DocumentCodec::Contents& previous = contents;
    const auto swapContents = [&] {
        std::lock_guard lock(m_impl->mutex);
        std::swap(m_impl->name, contents.name);
        std::swap(m_impl->segments, contents.segments);
        std::swap(m_impl->parts[0], contents.blobs);
        std::swap(m_impl->parts[1], contents.previews);
        std::swap(m_impl->nextSegmentId, nextSegmentId);
    };
    swapContents(); // `previous` now holds what the asset had

    try {
        std::vector<StrongRef<Segment>> loaded;
        {
            std::lock_guard lock(m_impl->mutex);
            loaded = m_impl->segments;
        }
        for (StrongRef<Entity>& entity : entitiesOf(loaded))
            entity->metaType()->notify(DataModelCallback::eAfterLoad, entity.getTarget());
        for (auto& adapter : m_impl->adapters) {
            adapter->onCreateSpecialSerializers();
            adapter->onAssetLoaded();
        }
    } catch (const std::exception& error) {
        swapContents(); // back to the old contents; the loaded ones are dropped
        for (auto& segment : previous.segments)
            segment->detachFromAsset();
        return Status::error(eCallbackFailed, L"Loading was stopped: " + messageOf(error));
    }
    for (auto& segment : previous.segments)
        segment->detachFromAsset();
    return Status::success();
}

} // namespace Brio
