#pragma once
#include <Brio/Base/Status.h>
#include <Brio/Base/StrongRef.h>
#include <Brio/DataModel/ZipArchive.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Brio {

class Asset;
class Entity;
class Segment;

/// The stored form of a document, used by Asset::save and Asset::load: "document.xml" lists
/// the segments; "segments/<id>.xml" holds a segment's entities with their members, roots and
/// the versions of their kinds; parts sit under "blobs/" and "preview/". Written in a fixed
/// order (segments and entities by id, members in registration order) so that equal
/// documents give equal bytes.
class DocumentCodec {
public:
    /// What a read builds before the asset takes it over.
    struct Contents {
        std::wstring name;
        std::vector<StrongRef<Segment>> segments; ///< by id, entities constructed and filled
        ZipArchive::Parts blobs;
        ZipArchive::Parts previews;
    };

    /// The saved segments and the parts of `asset` as archive entries.
    static ZipArchive::Parts write(const Asset& asset);
    /// Builds the segments of the archive for `asset`: entities are constructed by their meta
    /// types (migrating ones marked so while `asset` is migrating), their members read and
    /// their references resolved. Nothing of `asset` changes.
    static Status read(Asset& asset, const ZipArchive::Parts& parts, Contents& contents);

    // What the codec needs of a segment beyond its public face.
    static std::uint64_t nextEntityId(const Segment& segment);
    static StrongRef<Segment> newSegment(Asset& asset, std::uint32_t id, const std::wstring& name);
    static bool insert(Segment& segment, Entity* entity);
    static void reserveEntityId(Segment& segment, std::uint64_t id);
};

} // namespace Brio
