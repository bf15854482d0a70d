#include "DataModelTestSupport.h"

#include <Brio/Base/Exception.h>
#include <Brio/Base/StringConversion.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/AssetAdapter.h>
#include <Brio/DataModel/DataModelCallback.h>
#include <Brio/DataModel/ZipArchive.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string_view>

using namespace DataModelTest;

namespace {

Sample* sampleIn(Segment* segment, std::uint64_t id) {
    return dynamic_cast<Sample*>(segment->entity(id));
}

/// Two segments of samples linking across them, a root, a transient entity and parts.
StrongRef<Asset> makeDocument() {
    StrongRef<Asset> asset = Asset::make(L"Bracket \u00e9");
    Segment* main = asset->createSegment(L"Main");
    Segment* extra = asset->createSegment(L"Extra\tparts");
    StrongRef<Sample> a = Sample::make(main), b = Sample::make(main), c = Sample::make(extra);
    fill(*a, 1);
    fill(*b, 2);
    fill(*c, 3);
    StrongRef<Sample> gone = Sample::make(main);
    main->deleteEntity(gone.getTarget()); // leaves a gap in the ids
    StrongRef<Sample> scratch = Sample::make(asset->transientSegment());
    a->m.links = {StrongRef<Entity>(c), StrongRef<Entity>(), StrongRef<Entity>(b), StrongRef<Entity>(c),
                  StrongRef<Entity>(scratch)};
    c->m.links = {StrongRef<Entity>(a)}; // a cycle across segments
    main->addRoot(L"Top", b.getTarget());
    asset->putPart(Asset::EPartFolder::eBlobs, "lumo", {0, 1, 2, 255});
    asset->putPart(Asset::EPartFolder::ePreview, "small.png", std::vector<std::uint8_t>(300, 7));
    return asset;
}

class CountingCallback : public DataModelCallback {
public:
    explicit CountingCallback(std::uint32_t events) { Sample::s_metaType()->addCallback(this, events); }
    ~CountingCallback() override { Sample::s_metaType()->removeCallback(this); }
    void notify(EEvent event, Entity*) override {
        ++counts[event];
        if (event == throwOn)
            throw Exception(L"listener refused");
    }
    std::map<std::uint32_t, int> counts;
    std::uint32_t throwOn = 0;
};

} // namespace

TEST(AssetTest, SavedLoadedAndSavedAgainGivesTheSameBytes) {
    ScratchDir dir;
    StrongRef<Asset> original = makeDocument();
    ASSERT_TRUE(original->save(dir.file("a.brio")).isSuccess());
    ASSERT_TRUE(original->save(dir.file("a2.brio")).isSuccess());
    EXPECT_EQ(readFile(dir.file("a.brio")), readFile(dir.file("a2.brio")));

    StrongRef<Asset> loaded = Asset::make();
    Status status = loaded->load(dir.file("a.brio"));
    ASSERT_TRUE(status.isSuccess()) << Utility::toUtf8(status.message());
    ASSERT_TRUE(loaded->save(dir.file("b.brio")).isSuccess());
    EXPECT_EQ(readFile(dir.file("a.brio")), readFile(dir.file("b.brio")));

    // What was read is what was written.
    EXPECT_EQ(loaded->name(), L"Bracket \u00e9");
    ASSERT_EQ(loaded->segments().size(), 2u) << "the transient segment is not saved";
    Segment* main = loaded->segment(1);
    Segment* extra = loaded->segment(L"Extra\tparts");
    ASSERT_TRUE(main && extra);
    EXPECT_EQ(main->entityCount(), 2u);
    Sample *a = sampleIn(main, 1), *b = sampleIn(main, 2), *c = sampleIn(extra, 1);
    ASSERT_TRUE(a && b && c);
    expectSameMembers(a->m, sampleIn(original->segment(1), 1)->m);
    expectSameMembers(c->m, sampleIn(original->segment(2), 1)->m);
    ASSERT_EQ(a->m.links.size(), 5u);
    EXPECT_EQ(a->m.links[0].getTarget(), c);
    EXPECT_TRUE(a->m.links[1].isNull());
    EXPECT_EQ(a->m.links[2].getTarget(), b);
    EXPECT_EQ(a->m.links[3].getTarget(), c);
    EXPECT_TRUE(a->m.links[4].isNull()) << "an entity that is not saved cannot be referred to";
    EXPECT_EQ(c->m.links.at(0).getTarget(), a);
    EXPECT_EQ(main->root(L"Top"), b);
    EXPECT_EQ(*loaded->part(Asset::EPartFolder::eBlobs, "lumo"), (std::vector<std::uint8_t>{0, 1, 2, 255}));
    EXPECT_EQ(loaded->part(Asset::EPartFolder::ePreview, "small.png")->size(), 300u);
    EXPECT_FALSE(a->migrating());

    // Ids go on where the saved segment left off, past the deleted one.
    StrongRef<Sample> added = Sample::make(main);
    EXPECT_EQ(added->id(), 4u);
    StrongRef<Segment> another(loaded->createSegment(L"Later"));
    EXPECT_EQ(another->id(), 3u);
}

TEST(AssetTest, ArchiveHoldsEntitiesAndPartsInTheirFolders) {
    ScratchDir dir;
    ASSERT_TRUE(makeDocument()->save(dir.file("a.brio")).isSuccess());
    ZipArchive::Parts parts;
    ASSERT_TRUE(ZipArchive::read(dir.file("a.brio"), parts).isSuccess());
    std::vector<std::string> names;
    for (const auto& entry : parts)
        names.push_back(entry.first);
    EXPECT_EQ(names, (std::vector<std::string>{"blobs/lumo", "document.xml", "preview/small.png", "segments/1.xml",
                                               "segments/2.xml"}));
}

TEST(AssetTest, LoadReplacesSavedSegmentsAndKeepsTheTransientOne) {
    ScratchDir dir;
    ASSERT_TRUE(makeDocument()->save(dir.file("a.brio")).isSuccess());
    StrongRef<Asset> asset = Asset::make(L"Old");
    Segment* old = asset->createSegment(L"Old");
    StrongRef<Sample> oldSample = Sample::make(old);
    Segment* transient = asset->transientSegment();
    StrongRef<Sample> kept = Sample::make(transient);
    asset->putPart(Asset::EPartFolder::eBlobs, "stale", {1});

    ASSERT_TRUE(asset->load(dir.file("a.brio")).isSuccess());
    EXPECT_EQ(asset->segment(L"Old"), nullptr);
    EXPECT_EQ(oldSample->asset(), nullptr) << "the replaced segment left the document";
    EXPECT_EQ(asset->transientSegment(), transient);
    EXPECT_EQ(transient->entity(kept->id()), kept.getTarget());
    EXPECT_EQ(asset->part(Asset::EPartFolder::eBlobs, "stale"), nullptr);
    EXPECT_EQ(asset->segments().size(), 3u);
}

TEST(AssetTest, DamagedFilesFailCleanlyAndChangeNothing) {
    ScratchDir dir;
    ASSERT_TRUE(makeDocument()->save(dir.file("good.brio")).isSuccess());
    const std::vector<char> good = readFile(dir.file("good.brio"));
    ASSERT_GT(good.size(), 200u);

    StrongRef<Asset> asset = Asset::make(L"Mine");
    StrongRef<Sample> mine = Sample::make(asset->createSegment(L"Mine"));
    fill(*mine, 9);
    asset->putPart(Asset::EPartFolder::ePreview, "big.png", {4, 2});
    const int aliveBefore = Sample::alive;
    const auto unchanged = [&](const std::string& what) {
        EXPECT_EQ(asset->name(), L"Mine") << what;
        ASSERT_EQ(asset->segments().size(), 1u) << what;
        EXPECT_EQ(asset->segment(1)->entity(1), mine.getTarget()) << what;
        EXPECT_EQ(mine->asset(), asset.getTarget()) << what;
        EXPECT_NE(asset->part(Asset::EPartFolder::ePreview, "big.png"), nullptr) << what;
        EXPECT_EQ(Sample::alive, aliveBefore) << what << ": nothing half-built is left behind";
    };

    for (std::size_t length : {std::size_t(0), std::size_t(10), good.size() / 2, good.size() - 1}) {
        writeFile(dir.file("cut.brio"), std::vector<char>(good.begin(), good.begin() + length));
        Status status = asset->load(dir.file("cut.brio"));
        EXPECT_TRUE(status.failed()) << "truncated to " << length;
        EXPECT_EQ(status.code(), Asset::eCorruptDocument) << "truncated to " << length;
        EXPECT_FALSE(status.message().empty());
        unchanged("truncated to " + std::to_string(length));
    }

    // Bytes of a segment's compressed data, flipped in turn, are noticed.
    const std::string name = "segments/1.xml";
    const auto header = std::search(good.begin(), good.end(), name.begin(), name.end()) - good.begin() - 30;
    ASSERT_GT(header, 0);
    const std::size_t dataStart =
        static_cast<std::size_t>(header) + 30 + name.size() + static_cast<unsigned char>(good[header + 28]);
    for (std::size_t at = dataStart; at < dataStart + 64; at += 4) {
        std::vector<char> bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0x5A);
        writeFile(dir.file("flipped.brio"), bad);
        Status status = asset->load(dir.file("flipped.brio"));
        EXPECT_EQ(status.code(), Asset::eCorruptDocument) << "byte " << at;
        unchanged("byte " + std::to_string(at));
    }

    writeFile(dir.file("text.brio"), std::vector<char>(100, 'x'));
    EXPECT_EQ(asset->load(dir.file("text.brio")).code(), Asset::eCorruptDocument);
    EXPECT_EQ(asset->load(dir.file("missing.brio")).code(), Asset::eFileError);
    unchanged("not a document");
}

namespace {

/// Saves a good document, lets `edit` change one archive entry and loads the result.
Status loadEdited(const ScratchDir& dir, const std::string& entry, const std::function<void(std::string&)>& edit,
                  Asset& into) {
    ZipArchive::Parts parts;
    EXPECT_TRUE(makeDocument()->save(dir.file("src.brio")).isSuccess());
    EXPECT_TRUE(ZipArchive::read(dir.file("src.brio"), parts).isSuccess());
    std::string text(parts.at(entry).begin(), parts.at(entry).end());
    edit(text);
    parts[entry].assign(text.begin(), text.end());
    EXPECT_TRUE(ZipArchive::write(dir.file("edited.brio"), parts).isSuccess());
    return into.load(dir.file("edited.brio"));
}

void replace(std::string& text, std::string_view from, std::string_view to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

} // namespace

TEST(AssetTest, InconsistentDocumentsAreRefusedWithTheirReason) {
    ScratchDir dir;
    struct Case {
        const char* what;
        std::string entry;
        std::function<void(std::string&)> edit;
        int code;
    };
    const std::string sampleId = Sample::s_metaTypeId;
    const std::vector<Case> cases = {
        {"unreadable XML", "segments/1.xml", [](std::string& t) { t.resize(t.size() / 2); }, Asset::eCorruptDocument},
        {"malformed number", "segments/1.xml",
         [](std::string& t) {
             replace(t, "key=\"count\" type=\"int32\" value=\"", "key=\"count\" type=\"int32\" value=\"x");
         },
         Asset::eCorruptDocument},
        {"wrong member type", "segments/1.xml", [](std::string& t) { replace(t, "type=\"int32\"", "type=\"double\""); },
         Asset::eCorruptDocument},
        {"reference to a missing entity", "segments/2.xml",
         [](std::string& t) { replace(t, "value=\"1:1\"", "value=\"1:99\""); }, Asset::eCorruptDocument},
        {"reference to a missing segment", "segments/2.xml",
         [](std::string& t) { replace(t, "value=\"1:1\"", "value=\"7:1\""); }, Asset::eCorruptDocument},
        {"duplicate entity", "segments/1.xml",
         [](std::string& t) { replace(t, "<entity id=\"2\"", "<entity id=\"1\""); }, Asset::eCorruptDocument},
        {"id beyond the segment's counter", "segments/1.xml",
         [](std::string& t) { replace(t, "nextEntityId=\"4\"", "nextEntityId=\"2\""); }, Asset::eCorruptDocument},
        {"root naming no entity", "segments/1.xml", [](std::string& t) { replace(t, "entity=\"2\"", "entity=\"3\""); },
         Asset::eCorruptDocument},
        {"missing segment file", "document.xml", [](std::string& t) { replace(t, "id=\"2\"", "id=\"5\""); },
         Asset::eCorruptDocument},
        {"unknown kind", "segments/2.xml",
         [&](std::string& t) {
             replace(t, "metaType=\"" + sampleId, "metaType=\"00000000-0000-0000-0000-000000000000");
         },
         Asset::eUnknownMetaType},
        {"newer kind", "segments/1.xml",
         [&](std::string& t) {
             replace(t, "id=\"" + sampleId + "\" version=\"1\"", "id=\"" + sampleId + "\" version=\"2\"");
         },
         Asset::eNewerDocument},
        {"newer format", "document.xml", [](std::string& t) { replace(t, "format=\"1\"", "format=\"2\""); },
         Asset::eNewerDocument},
    };
    StrongRef<Asset> asset = Asset::make(L"Mine");
    Segment* segment = asset->createSegment(L"Mine");
    StrongRef<Sample> mine = Sample::make(segment);
    const int aliveBefore = Sample::alive;
    for (const Case& c : cases) {
        Status status = loadEdited(dir, c.entry, c.edit, *asset);
        EXPECT_EQ(status.code(), c.code) << c.what << ": " << Utility::toUtf8(status.message());
        EXPECT_EQ(asset->segment(1), segment) << c.what;
        EXPECT_EQ(asset->segments().size(), 1u) << c.what;
        EXPECT_EQ(Sample::alive, aliveBefore) << c.what;
    }
    // The same edits that only touch what is not checked load fine: the harness itself works.
    EXPECT_TRUE(loadEdited(
                    dir, "document.xml", [](std::string&) {}, *asset)
                    .isSuccess());
}

TEST(AssetTest, CallbacksHearSavesAndLoadsAndCanStopThem) {
    ScratchDir dir;
    CountingCallback callback(DataModelCallback::eBeforeSave | DataModelCallback::eAfterSave |
                              DataModelCallback::eAfterLoad | DataModelCallback::eCreated);
    StrongRef<Asset> asset = makeDocument(); // three saved samples, one transient
    EXPECT_EQ(callback.counts[DataModelCallback::eCreated], 5);
    ASSERT_TRUE(asset->save(dir.file("a.brio")).isSuccess());
    EXPECT_EQ(callback.counts[DataModelCallback::eBeforeSave], 3);
    EXPECT_EQ(callback.counts[DataModelCallback::eAfterSave], 3);

    StrongRef<Asset> other = Asset::make(L"Other");
    StrongRef<Sample> before = Sample::make(other->createSegment(L"Before"));
    ASSERT_TRUE(other->load(dir.file("a.brio")).isSuccess());
    EXPECT_EQ(callback.counts[DataModelCallback::eAfterLoad], 3);
    EXPECT_EQ(callback.counts[DataModelCallback::eCreated], 6) << "loading does not create";

    // A listener that throws after a load puts the old contents back.
    StrongRef<Asset> third = Asset::make(L"Third");
    Segment* kept = third->createSegment(L"Kept");
    callback.throwOn = DataModelCallback::eAfterLoad;
    Status status = third->load(dir.file("a.brio"));
    EXPECT_EQ(status.code(), Asset::eCallbackFailed);
    EXPECT_NE(status.message().find(L"listener refused"), std::wstring::npos);
    EXPECT_EQ(third->segments(), std::vector<Segment*>{kept});
    EXPECT_EQ(third->name(), L"Third");

    // ... and one that throws before a save keeps the file as it was.
    const std::vector<char> saved = readFile(dir.file("a.brio"));
    callback.throwOn = DataModelCallback::eBeforeSave;
    fill(*sampleIn(asset->segment(1), 1), 42);
    EXPECT_EQ(asset->save(dir.file("a.brio")).code(), Asset::eCallbackFailed);
    EXPECT_EQ(readFile(dir.file("a.brio")), saved);
}

TEST(AssetTest, AdaptersAreToldAroundSavesAndLoads) {
    struct Adapter : AssetAdapter {
        using AssetAdapter::AssetAdapter;
        std::vector<std::string>* log;
        void onCreateSpecialSerializers() override { log->push_back("serializers"); }
        void onSavePreview() override {
            log->push_back("preview");
            asset()->putPart(Asset::EPartFolder::ePreview, "small.png", {1, 2, 3});
        }
        void onAssetLoaded() override { log->push_back("loaded"); }
        void onReleaseSpecialSerializers() override { log->push_back("released"); }
    };
    ScratchDir dir;
    std::vector<std::string> log;
    {
        StrongRef<Asset> asset = Asset::make(L"Adapted");
        auto adapter = std::make_unique<Adapter>(asset.getTarget());
        adapter->log = &log;
        Adapter* raw = adapter.get();
        asset->addAdapter(std::move(adapter));
        EXPECT_EQ(asset->adapter(), raw);
        EXPECT_EQ(asset->adapter(AssetAdapter::interfaceId()), raw);
        asset->createSegment(L"Main");
        ASSERT_TRUE(asset->save(dir.file("a.brio")).isSuccess());
        ASSERT_TRUE(asset->load(dir.file("a.brio")).isSuccess());
        EXPECT_EQ(*asset->part(Asset::EPartFolder::ePreview, "small.png"), (std::vector<std::uint8_t>{1, 2, 3}))
            << "the preview written during the save was saved";
    }
    EXPECT_EQ(log, (std::vector<std::string>{"serializers", "preview", "serializers", "loaded", "released"}));
}

TEST(AssetTest, SavingWhereNoFileCanBeWrittenFails) {
    ScratchDir dir;
    StrongRef<Asset> asset = makeDocument();
    Status status = asset->save(dir.file("no/such/folder/a.brio"));
    EXPECT_EQ(status.code(), Asset::eFileError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));
}

TEST(AssetTest, PartNamesMustBeRelativePaths) {
    StrongRef<Asset> asset = Asset::make();
    for (const char* bad : {"", "/abs", "a/../b", "..", "a//b", "a/", "a\\b", "./a"})
        EXPECT_FALSE(asset->putPart(Asset::EPartFolder::eBlobs, bad, {1})) << bad;
    EXPECT_TRUE(asset->putPart(Asset::EPartFolder::eBlobs, "images/a.png", {1}));
    EXPECT_EQ(asset->partNames(Asset::EPartFolder::eBlobs), std::vector<std::string>{"images/a.png"});
    EXPECT_TRUE(asset->partNames(Asset::EPartFolder::ePreview).empty());
    EXPECT_TRUE(asset->removePart(Asset::EPartFolder::eBlobs, "images/a.png"));
    EXPECT_FALSE(asset->removePart(Asset::EPartFolder::eBlobs, "images/a.png"));
}
