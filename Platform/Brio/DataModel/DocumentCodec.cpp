#include <Brio/DataModel/DocumentCodec.h>

#include <Brio/Base/StringConversion.h>
#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/Entity.h>
#include <Brio/DataModel/EntityMetaType.h>
#include <Brio/DataModel/MetaTypeManager.h>
#include <Brio/DataModel/Segment.h>

#include <pugixml.hpp>

#include <charconv>
#include <map>

namespace Brio {

namespace {

constexpr unsigned kFormat = 1;
constexpr const char* kDocumentEntry = "document.xml";
constexpr std::string_view kBlobFolder = "blobs/";
constexpr std::string_view kPreviewFolder = "preview/";
// Bounds the walk up the base kinds, should registrations ever form a cycle.
constexpr int kMaxDepth = 64;

std::string segmentEntry(std::uint32_t id) {
    return "segments/" + std::to_string(id) + ".xml";
}

std::string escape(const std::wstring& text) {
    return valueMetaType<std::wstring>()->toText(&text);
}

bool unescape(const char* text, std::wstring& out) {
    return valueMetaType<std::wstring>()->fromText(text, &out);
}

template <class N> bool parseUnsigned(const char* text, N& value) {
    const char* end = text + std::char_traits<char>::length(text);
    const auto result = std::from_chars(text, end, value);
    return end != text && result.ec == std::errc() && result.ptr == end;
}

std::string idText(const EntityMetaType* type) {
    return Utility::toUtf8(type->id()->text());
}

/// The kind and its bases, most derived first.
std::vector<const EntityMetaType*> kinds(const EntityMetaType* type) {
    std::vector<const EntityMetaType*> out;
    for (int depth = 0; type && depth < kMaxDepth; ++depth, type = type->baseMetaType())
        out.push_back(type);
    return out;
}

std::vector<std::uint8_t> bytesOf(const pugi::xml_document& document) {
    struct Writer : pugi::xml_writer {
        std::vector<std::uint8_t> bytes;
        void write(const void* data, size_t size) override {
            const auto* p = static_cast<const std::uint8_t*>(data);
            bytes.insert(bytes.end(), p, p + size);
        }
    } writer;
    document.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);
    return std::move(writer.bytes);
}

bool parse(const std::vector<std::uint8_t>& bytes, pugi::xml_document& document) {
    return document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8);
}

Status corrupt(const std::wstring& detail) {
    return Status::error(Asset::eCorruptDocument, L"Damaged document: " + detail);
}

std::wstring where(std::uint32_t segment, std::uint64_t entity = 0) {
    std::wstring text = L"segment " + std::to_wstring(segment);
    if (entity)
        text += L", entity " + std::to_wstring(entity);
    return text;
}

/// "segment:entity" for a reference the document can restore; "0:0" for none, or for an
/// entity that is not saved with this document.
std::string referenceText(const Asset& asset, Entity* target) {
    Segment* segment = target ? target->segment() : nullptr;
    if (!segment || segment->transient() || segment->asset() != &asset || segment->entity(target->id()) != target)
        return "0:0";
    return std::to_string(segment->id()) + ':' + std::to_string(target->id());
}

void writeEntity(const Asset& asset, Entity& entity, pugi::xml_node parent) {
    const EntityMetaType* type = entity.metaType();
    pugi::xml_node node = parent.append_child("entity");
    node.append_attribute("id") = static_cast<unsigned long long>(entity.id());
    node.append_attribute("metaType") = idText(type).c_str();
    std::vector<const EntityMetaType*> chain = kinds(type);
    // Base class members first, as the classes were built.
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const MemberSet& set = (*it)->memberSet();
        void* record = set.members().empty() ? nullptr : entity.memberRecord(&set);
        if (!record)
            continue;
        pugi::xml_node members = node.append_child("members");
        members.append_attribute("class") = set.className().c_str();
        for (const MemberSet::Member& member : set.members()) {
            const void* field = static_cast<const char*>(record) + member.offset;
            std::string value;
            if (auto* refs = dynamic_cast<const EntityReferenceListMetaType*>(member.valueType)) {
                for (std::size_t i = 0; i < refs->count(field); ++i) {
                    if (i)
                        value += ' ';
                    value += referenceText(asset, refs->at(field, i));
                }
            } else {
                value = member.valueType->toText(field);
            }
            pugi::xml_node m = members.append_child("m");
            m.append_attribute("key") = member.name.c_str();
            m.append_attribute("type") = member.valueType->name();
            m.append_attribute("value") = value.c_str();
        }
    }
}

std::vector<std::uint8_t> writeSegment(const Asset& asset, const Segment& segment) {
    const std::vector<StrongRef<Entity>> entities = segment.entities();
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("segment");
    root.append_attribute("id") = segment.id();
    root.append_attribute("nextEntityId") = static_cast<unsigned long long>(DocumentCodec::nextEntityId(segment));

    // The data in memory is at the current version of every kind it holds.
    std::map<std::string, unsigned> versions;
    for (const StrongRef<Entity>& entity : entities)
        for (const EntityMetaType* type : kinds(entity->metaType()))
            versions.emplace(idText(type), type->currentVersion());
    for (const auto& [id, version] : versions) {
        pugi::xml_node node = root.append_child("metaType");
        node.append_attribute("id") = id.c_str();
        node.append_attribute("version") = version;
    }
    for (const std::wstring& name : segment.rootNames()) {
        if (Entity* entity = segment.root(name)) {
            pugi::xml_node node = root.append_child("root");
            node.append_attribute("name") = escape(name).c_str();
            node.append_attribute("entity") = static_cast<unsigned long long>(entity->id());
        }
    }
    for (const StrongRef<Entity>& entity : entities)
        writeEntity(asset, *entity, root);
    return bytesOf(document);
}

/// A reference member read before every entity exists; resolved at the end.
struct PendingReferences {
    Entity* owner;
    void* field;
    const EntityReferenceListMetaType* type;
    std::string text;
};

Status readMembers(Entity& entity, std::uint32_t segmentId, pugi::xml_node node,
                   std::vector<PendingReferences>& pending) {
    for (const EntityMetaType* type : kinds(entity.metaType())) {
        const MemberSet& set = type->memberSet();
        if (set.members().empty())
            continue;
        void* record = entity.memberRecord(&set);
        pugi::xml_node members = node.find_child_by_attribute("members", "class", set.className().c_str());
        if (!record || !members)
            continue; // nothing stored: the members keep their defaults
        for (const MemberSet::Member& member : set.members()) {
            pugi::xml_node m = members.find_child_by_attribute("m", "key", member.name.c_str());
            if (!m)
                continue;
            if (std::string_view(m.attribute("type").as_string()) != member.valueType->name()) {
                // A migrating entity's older data may differ in type; onPostMigrate sorts it out.
                if (entity.migrating())
                    continue;
                return corrupt(L"member \"" + Utility::toWide(member.name) + L"\" of unexpected type in " +
                               where(segmentId, entity.id()));
            }
            void* field = static_cast<char*>(record) + member.offset;
            const char* value = m.attribute("value").as_string();
            if (auto* refs = dynamic_cast<const EntityReferenceListMetaType*>(member.valueType))
                pending.push_back({&entity, field, refs, value});
            else if (!member.valueType->fromText(value, field))
                return corrupt(L"malformed value of \"" + Utility::toWide(member.name) + L"\" in " +
                               where(segmentId, entity.id()));
        }
    }
    return Status::success();
}

Status readSegment(Segment& segment, const std::vector<std::uint8_t>& bytes, std::vector<PendingReferences>& pending) {
    const std::uint32_t segmentId = segment.id();
    pugi::xml_document document;
    if (!parse(bytes, document))
        return corrupt(L"unreadable " + where(segmentId));
    pugi::xml_node root = document.child("segment");
    std::uint32_t id = 0;
    std::uint64_t nextId = 0;
    if (!root || !parseUnsigned(root.attribute("id").as_string(), id) || id != segmentId ||
        !parseUnsigned(root.attribute("nextEntityId").as_string(), nextId) || nextId == 0)
        return corrupt(L"bad header of " + where(segmentId));

    for (pugi::xml_node node : root.children("metaType")) {
        unsigned version = 0;
        if (!parseUnsigned(node.attribute("version").as_string(), version))
            return corrupt(L"bad version in " + where(segmentId));
        EntityMetaType* type = MetaTypeManager::get().find(node.attribute("id").as_string());
        if (!type)
            continue; // a kind none of whose entities is here
        if (version > type->currentVersion())
            return Status::error(Asset::eNewerDocument, L"The document holds " + Utility::toWide(type->name()) +
                                                            L" version " + std::to_wstring(version) +
                                                            L", newer than this version " +
                                                            std::to_wstring(type->currentVersion()));
        segment.persistedVersion(type, version);
    }

    for (pugi::xml_node node : root.children("entity")) {
        std::uint64_t entityId = 0;
        if (!parseUnsigned(node.attribute("id").as_string(), entityId) || entityId == 0 || entityId >= nextId ||
            segment.entity(entityId))
            return corrupt(L"bad entity id in " + where(segmentId));
        const char* typeId = node.attribute("metaType").as_string();
        EntityMetaType* type = MetaTypeManager::get().find(typeId);
        if (!type)
            return Status::error(Asset::eUnknownMetaType, L"The document holds entities of an unknown kind " +
                                                              Utility::toWide(typeId) + L" in " +
                                                              where(segmentId, entityId));
        StrongRef<Entity> entity = type->create(&segment, entityId);
        if (!entity || entity->metaType() != type || entity->id() != entityId || entity->segment() != &segment ||
            !DocumentCodec::insert(segment, entity.getTarget()))
            return corrupt(L"entity of a kind that cannot be loaded (" + Utility::toWide(type->name()) + L") in " +
                           where(segmentId, entityId));
        Status status = readMembers(*entity, segmentId, node, pending);
        if (status.failed())
            return status;
    }

    for (pugi::xml_node node : root.children("root")) {
        std::wstring name;
        std::uint64_t entityId = 0;
        if (!unescape(node.attribute("name").as_string(), name) ||
            !parseUnsigned(node.attribute("entity").as_string(), entityId) ||
            !segment.addRoot(name, segment.entity(entityId)))
            return corrupt(L"bad root in " + where(segmentId));
    }
    DocumentCodec::reserveEntityId(segment, nextId - 1);
    return Status::success();
}

Status resolve(const std::map<std::uint32_t, Segment*>& segments, const PendingReferences& refs) {
    const std::wstring place = where(refs.owner->segment()->id(), refs.owner->id());
    refs.type->clear(refs.field);
    std::string_view text = refs.text;
    while (!text.empty()) {
        const std::size_t blank = text.find(' ');
        const std::string token(text.substr(0, blank));
        text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
        const std::size_t colon = token.find(':');
        std::uint32_t segmentId = 0;
        std::uint64_t entityId = 0;
        if (colon == std::string::npos || !parseUnsigned(token.substr(0, colon).c_str(), segmentId) ||
            !parseUnsigned(token.substr(colon + 1).c_str(), entityId))
            return corrupt(L"malformed reference in " + place);
        Entity* target = nullptr;
        if (segmentId || entityId) {
            auto segment = segments.find(segmentId);
            target = segment == segments.end() ? nullptr : segment->second->entity(entityId);
            if (!target)
                return corrupt(L"reference to a missing entity in " + place);
        }
        if (!refs.type->append(refs.field, target))
            return corrupt(L"reference to an entity of the wrong kind in " + place);
    }
    return Status::success();
}

} // namespace

std::uint64_t DocumentCodec::nextEntityId(const Segment& segment) {
    return segment.nextEntityId();
}

StrongRef<Segment> DocumentCodec::newSegment(Asset& asset, std::uint32_t id, const std::wstring& name) {
    return StrongRef<Segment>(new Segment(&asset, id, name, false, false));
}

bool DocumentCodec::insert(Segment& segment, Entity* entity) {
    return segment.insert(entity);
}

void DocumentCodec::reserveEntityId(Segment& segment, std::uint64_t id) {
    segment.reserveEntityId(id);
}

ZipArchive::Parts DocumentCodec::write(const Asset& asset) {
    ZipArchive::Parts parts;
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("BrioDocument");
    root.append_attribute("format") = kFormat;
    root.append_attribute("name") = escape(asset.name()).c_str();
    for (Segment* segment : asset.segments()) {
        if (segment->transient())
            continue;
        pugi::xml_node node = root.append_child("segment");
        node.append_attribute("id") = segment->id();
        node.append_attribute("name") = escape(segment->name()).c_str();
        parts[segmentEntry(segment->id())] = writeSegment(asset, *segment);
    }
    parts[kDocumentEntry] = bytesOf(document);
    for (auto [folder, prefix] :
         {std::pair(Asset::EPartFolder::eBlobs, kBlobFolder), std::pair(Asset::EPartFolder::ePreview, kPreviewFolder)})
        for (const std::string& name : asset.partNames(folder))
            parts[std::string(prefix) + name] = *asset.part(folder, name);
    return parts;
}

Status DocumentCodec::read(Asset& asset, const ZipArchive::Parts& parts, Contents& contents) {
    auto entry = parts.find(kDocumentEntry);
    pugi::xml_document document;
    if (entry == parts.end() || !parse(entry->second, document) || !document.child("BrioDocument"))
        return corrupt(L"no readable document.xml");
    pugi::xml_node root = document.child("BrioDocument");
    unsigned format = 0;
    if (!parseUnsigned(root.attribute("format").as_string(), format) || format == 0)
        return corrupt(L"no format in document.xml");
    if (format > kFormat)
        return Status::error(Asset::eNewerDocument,
                             L"The document was written in a newer format (" + std::to_wstring(format) + L")");
    Contents read;
    if (!unescape(root.attribute("name").as_string(), read.name))
        return corrupt(L"bad document name");

    std::map<std::uint32_t, Segment*> segments;
    std::vector<PendingReferences> pending;
    for (pugi::xml_node node : root.children("segment")) {
        std::uint32_t id = 0;
        std::wstring name;
        if (!parseUnsigned(node.attribute("id").as_string(), id) || id == 0 || id == Asset::kTransientSegmentId ||
            segments.count(id) || !unescape(node.attribute("name").as_string(), name))
            return corrupt(L"bad segment entry in document.xml");
        auto file = parts.find(segmentEntry(id));
        if (file == parts.end())
            return corrupt(L"missing " + where(id));
        StrongRef<Segment> segment = newSegment(asset, id, name);
        // Kept before it is read, so that a failure releases what was built so far.
        read.segments.push_back(segment);
        segments.emplace(id, segment.getTarget());
        Status status = readSegment(*segment, file->second, pending);
        if (status.failed())
            return status;
    }
    for (const PendingReferences& refs : pending) {
        Status status = resolve(segments, refs);
        if (status.failed())
            return status;
    }
    for (const auto& [name, bytes] : parts) {
        if (name.size() > kBlobFolder.size() && name.starts_with(kBlobFolder))
            read.blobs.emplace(name.substr(kBlobFolder.size()), bytes);
        else if (name.size() > kPreviewFolder.size() && name.starts_with(kPreviewFolder))
            read.previews.emplace(name.substr(kPreviewFolder.size()), bytes);
    }
    contents = std::move(read);
    return Status::success();
}

} // namespace Brio
