#include "DataModelTestSupport.h"

#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/ZipArchive.h>

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
