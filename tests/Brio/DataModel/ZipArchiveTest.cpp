#include "DataModelTestSupport.h"

#include <Brio/Base/StringConversion.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/ZipArchive.h>

#include <algorithm>
#include <tuple>

using namespace DataModelTest;

TEST(ZipArchiveTest, WritesFixedTimesInNameOrder) {
    ScratchDir dir;
    ZipArchive::Parts parts;
    parts["b/second"] = std::vector<std::uint8_t>(5000, 'b');
    parts["a"] = {'x'};
    parts["empty"] = {};
    ASSERT_TRUE(ZipArchive::write(dir.file("z.zip"), parts).isSuccess());
    const std::vector<char> bytes = readFile(dir.file("z.zip"));
    ASSERT_GT(bytes.size(), 34u);
    EXPECT_EQ(std::string(bytes.data(), 4), std::string("PK\x03\x04", 4));
    // Time and date of the first local header: 00:00, 1980-01-01, whatever the clock says.
    EXPECT_EQ(bytes[10], 0);
    EXPECT_EQ(bytes[11], 0);
    EXPECT_EQ(bytes[12], 0x21);
    EXPECT_EQ(bytes[13], 0);
    EXPECT_EQ(std::string(bytes.data() + 30, 1), "a") << "parts in name order";

    ZipArchive::Parts read;
    read["stale"] = {1};
    ASSERT_TRUE(ZipArchive::read(dir.file("z.zip"), read).isSuccess());
    EXPECT_EQ(read, parts);

    ASSERT_TRUE(ZipArchive::write(dir.file("z.zip"), {{"a", {'y'}}}).isSuccess());
    ASSERT_TRUE(ZipArchive::read(dir.file("z.zip"), read).isSuccess());
    EXPECT_EQ(read.size(), 1u) << "writing replaces the whole file";

    EXPECT_EQ(ZipArchive::write(dir.file("none.zip"), {}).code(), Asset::eFileError);
    EXPECT_EQ(ZipArchive::read(dir.file("none.zip"), read).code(), Asset::eFileError);
    EXPECT_EQ(read.size(), 1u) << "a failed read leaves the parts alone";
}

namespace {

void putLe32(std::vector<char>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
}

/// Makes the archive claim `size` uncompressed bytes for a part, in its local header and in the
/// central directory alike, so that the archive stays consistent to libzip.
void claimSize(std::vector<char>& bytes, const std::string& name, std::uint32_t size) {
    int patched = 0;
    for (const auto& [signature, nameAt, sizeAt] :
         {std::tuple{std::string("PK\x03\x04", 4), 30, 22}, std::tuple{std::string("PK\x01\x02", 4), 46, 24}}) {
        for (auto at = std::search(bytes.begin(), bytes.end(), signature.begin(), signature.end()); at != bytes.end();
             at = std::search(at + 1, bytes.end(), signature.begin(), signature.end())) {
            const std::size_t offset = static_cast<std::size_t>(at - bytes.begin());
            if (bytes.size() >= offset + nameAt + name.size() &&
                std::string(bytes.data() + offset + nameAt, name.size()) == name) {
                putLe32(bytes, offset + sizeAt, size);
                ++patched;
            }
        }
    }
    ASSERT_EQ(patched, 2) << name;
}

/// A stored (uncompressed) archive of `count` empty parts, written by hand.
std::vector<char> manyEmptyParts(std::size_t count) {
    std::vector<char> local, central;
    const auto le = [](std::vector<char>& out, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            out.push_back(static_cast<char>(v >> (8 * i)));
    };
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name = "p" + std::to_string(i);
        const auto offset = static_cast<std::uint32_t>(local.size());
        le(local, 0x04034b50, 4);
        le(local, 20, 2); // version needed
        le(local, 0, 2);  // flags
        le(local, 0, 2);  // stored
        le(local, 0, 4);  // time, date
        le(local, 0, 4);  // crc
        le(local, 0, 4);  // compressed size
        le(local, 0, 4);  // size
        le(local, std::uint32_t(name.size()), 2);
        le(local, 0, 2);
        local.insert(local.end(), name.begin(), name.end());
        le(central, 0x02014b50, 4);
        le(central, 20, 2);
        le(central, 20, 2);
        le(central, 0, 2);
        le(central, 0, 2);
        le(central, 0, 4);
        le(central, 0, 4);
        le(central, 0, 4);
        le(central, 0, 4);
        le(central, std::uint32_t(name.size()), 2);
        le(central, 0, 2); // extra
        le(central, 0, 2); // comment
        le(central, 0, 2); // disk
        le(central, 0, 2); // internal attributes
        le(central, 0, 4); // external attributes
        le(central, offset, 4);
        central.insert(central.end(), name.begin(), name.end());
    }
    std::vector<char> bytes = local;
    bytes.insert(bytes.end(), central.begin(), central.end());
    le(bytes, 0x06054b50, 4);
    le(bytes, 0, 4); // disks
    le(bytes, std::uint32_t(count), 2);
    le(bytes, std::uint32_t(count), 2);
    le(bytes, std::uint32_t(central.size()), 4);
    le(bytes, std::uint32_t(local.size()), 4);
    le(bytes, 0, 2);
    return bytes;
}

std::string messageOf(const Status& s) {
    return Utility::toUtf8(s.message());
}

} // namespace

TEST(ZipArchiveTest, DeclaredSizesBeyondTheLimitsAreRefusedBeforeReading) {
    ScratchDir dir;
    ZipArchive::Parts small;
    small["a"] = std::vector<std::uint8_t>(100, 'a');
    small["b"] = std::vector<std::uint8_t>(100, 'b');
    small["c"] = std::vector<std::uint8_t>(100, 'c');
    ASSERT_TRUE(ZipArchive::write(dir.file("good.zip"), small).isSuccess());
    const std::vector<char> good = readFile(dir.file("good.zip"));

    // One part claiming 3.75 GiB: the file stays a few hundred bytes.
    std::vector<char> huge = good;
    claimSize(huge, "b", 0xF0000000u);
    writeFile(dir.file("huge.zip"), huge);
    ZipArchive::Parts read;
    Status s = ZipArchive::read(dir.file("huge.zip"), read);
    EXPECT_EQ(s.code(), Asset::eCorruptDocument);
    EXPECT_NE(messageOf(s).find(dir.file("huge.zip")), std::string::npos) << messageOf(s);
    EXPECT_NE(messageOf(s).find("part b of 4026531840 bytes exceeds the limit of 2048 MiB"), std::string::npos)
        << messageOf(s);
    EXPECT_TRUE(read.empty());

    // Three parts each under the limit, together over the total.
    std::vector<char> many = good;
    for (const char* name : {"a", "b", "c"})
        claimSize(many, name, 0x7FFFFFFFu);
    writeFile(dir.file("total.zip"), many);
    s = ZipArchive::read(dir.file("total.zip"), read);
    EXPECT_EQ(s.code(), Asset::eCorruptDocument);
    EXPECT_NE(messageOf(s).find("in all exceed the limit of 4096 MiB"), std::string::npos) << messageOf(s);

    // The same sizes, claimed truthfully small, read fine: the patching itself is sound.
    std::vector<char> same = good;
    claimSize(same, "b", 100);
    writeFile(dir.file("same.zip"), same);
    ASSERT_TRUE(ZipArchive::read(dir.file("same.zip"), read).isSuccess());
    EXPECT_EQ(read, small);
}

TEST(ZipArchiveTest, TooManyPartsAreRefusedReadingAndWriting) {
    ScratchDir dir;
    writeFile(dir.file("limit.zip"), manyEmptyParts(ZipArchive::kMaxParts));
    ZipArchive::Parts read;
    ASSERT_TRUE(ZipArchive::read(dir.file("limit.zip"), read).isSuccess());
    EXPECT_EQ(read.size(), ZipArchive::kMaxParts);

    writeFile(dir.file("over.zip"), manyEmptyParts(ZipArchive::kMaxParts + 1));
    read.clear();
    Status s = ZipArchive::read(dir.file("over.zip"), read);
    EXPECT_EQ(s.code(), Asset::eCorruptDocument);
    EXPECT_NE(messageOf(s).find("65537 parts exceed the limit of 65536"), std::string::npos) << messageOf(s);
    EXPECT_TRUE(read.empty());

    // What could not be read back is not written: the old file stays.
    ZipArchive::Parts parts;
    for (std::uint64_t i = 0; i <= ZipArchive::kMaxParts; ++i)
        parts["p" + std::to_string(i)];
    s = ZipArchive::write(dir.file("limit.zip"), parts);
    EXPECT_EQ(s.code(), Asset::eFileError);
    EXPECT_NE(messageOf(s).find("65537 parts exceed the limit"), std::string::npos) << messageOf(s);
    EXPECT_TRUE(ZipArchive::read(dir.file("limit.zip"), read).isSuccess());
}
