#include <Brio/Base/AtomicFile.h>
#include <Brio/Base/StringConversion.h>

#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <set>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace Brio;
using BrioTest::ScratchDirectory;

namespace {

/// Makes one step of every write fail with an error until it goes out of scope.
class FailingStep {
public:
    FailingStep(AtomicFile::EStep step, int error) {
        AtomicFile::failureHook(
            [step, error](AtomicFile::EStep now, const std::filesystem::path&) { return now == step ? error : 0; });
    }
    ~FailingStep() { AtomicFile::failureHook({}); }
};

std::set<std::string> Names(const ScratchDirectory& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.insert(e.path().filename().string());
    return names;
}

bool Mentions(const Status& s, const std::string& text) {
    return s.message().find(Utility::toWide(text)) != std::wstring::npos;
}

} // namespace

TEST(AtomicFileTest, ReplacesTheWholeFileKeepingItsPermissionsAndLinks) {
    ScratchDirectory dir;
    const auto file = dir / "doc.bin";
    ASSERT_TRUE(AtomicFile::write(file, std::string(10000, 'a')).isSuccess());
    EXPECT_EQ(ScratchDirectory::read(file), std::string(10000, 'a'));
    ASSERT_TRUE(AtomicFile::write(file, "short").isSuccess());
    EXPECT_EQ(ScratchDirectory::read(file), "short") << "nothing of the longer old contents is left";
    EXPECT_TRUE(AtomicFile::write(file, "").isSuccess());
    EXPECT_EQ(ScratchDirectory::read(file), "");

    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(AtomicFile::write(file, "kept mode").isSuccess());
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A link saved through stays a link, and the file it names gets the bytes.
    std::filesystem::create_directories(dir / "real");
    dir.write("real/target.bin", "old");
    std::filesystem::create_symlink(dir / "real/target.bin", dir / "link.bin");
    ASSERT_TRUE(AtomicFile::write(dir / "link.bin", "through the link").isSuccess());
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.bin"));
    EXPECT_EQ(ScratchDirectory::read(dir / "real/target.bin"), "through the link");
    EXPECT_EQ(Names(dir), (std::set<std::string>{"doc.bin", "link.bin", "real"})) << "no temporary left";

    // A name near the longest allowed leaves no room to lengthen it for the temporary.
    const std::string longest(250, 'n');
    EXPECT_TRUE(AtomicFile::write(dir / longest, "long").isSuccess());
    EXPECT_EQ(ScratchDirectory::read(dir / longest), "long");
}

TEST(AtomicFileTest, AFailureAtAnyStepKeepsTheOldFileAndLeavesNoTemporary) {
    ScratchDirectory dir;
    const auto file = dir.write("doc.bin", "the user's work");
    const struct {
        AtomicFile::EStep step;
        int error;
    } cases[] = {{AtomicFile::eCreate, EACCES},
                 {AtomicFile::eWrite, ENOSPC},
                 {AtomicFile::eFlush, EIO},
                 {AtomicFile::eRename, EXDEV}};
    for (const auto& c : cases) {
        FailingStep failing(c.step, c.error);
        const Status s = AtomicFile::write(file, std::string(100000, 'x'));
        EXPECT_TRUE(s.failed()) << c.step;
        EXPECT_EQ(s.code(), AtomicFile::eWriteFailed);
        EXPECT_TRUE(Mentions(s, file.string())) << Utility::toUtf8(s.message());
        EXPECT_TRUE(Mentions(s, std::strerror(c.error))) << Utility::toUtf8(s.message());
        EXPECT_EQ(ScratchDirectory::read(file), "the user's work") << c.step;
        EXPECT_EQ(Names(dir), std::set<std::string>{"doc.bin"}) << c.step;
    }
    // Once the rename is done a folder that cannot be flushed is only worth a warning.
    {
        FailingStep failing(AtomicFile::eFlushFolder, EIO);
        const Status s = AtomicFile::write(file, "new");
        EXPECT_TRUE(s.isWarning());
        EXPECT_EQ(ScratchDirectory::read(file), "new");
    }
    EXPECT_TRUE(AtomicFile::write(file, "again").isSuccess()) << "no hook left behind";
    EXPECT_EQ(ScratchDirectory::read(file), "again");
}

TEST(AtomicFileTest, RealFailuresNameTheFileAndTheCause) {
    ScratchDirectory dir;
    // A folder in the way cannot be replaced by a file, root or not.
    dir.write("taken/inside.txt", "kept");
    Status s = AtomicFile::write(dir / "taken", "x");
    EXPECT_TRUE(s.failed());
    EXPECT_TRUE(Mentions(s, (dir / "taken").string()));
    EXPECT_TRUE(Mentions(s, std::strerror(EISDIR))) << Utility::toUtf8(s.message());
    EXPECT_EQ(ScratchDirectory::read(dir / "taken/inside.txt"), "kept");
    EXPECT_EQ(Names(dir), std::set<std::string>{"taken"});

    s = AtomicFile::write(dir / "no/such/folder/a.bin", "x");
    EXPECT_TRUE(Mentions(s, std::strerror(ENOENT))) << Utility::toUtf8(s.message());
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST(AtomicFileTest, AFullDiskKeepsTheOldFile) {
    // A file size limit makes the kernel refuse the write part way, as a full disk would;
    // it is set in a child so that the test process itself keeps writing freely.
    ScratchDirectory dir;
    const auto file = dir.write("doc.bin", "the user's work");
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit;
            limit.rlim_cur = limit.rlim_max = 4096;
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const Status s = AtomicFile::write(file, std::string(1 << 20, 'x'));
            std::_Exit(s.failed() && Mentions(s, std::strerror(EFBIG)) && Mentions(s, file.string()) ? 3 : 1);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(ScratchDirectory::read(file), "the user's work");
    EXPECT_EQ(Names(dir), std::set<std::string>{"doc.bin"});
}

TEST(AtomicFileTest, AProcessKilledBeforeTheRenameKeepsTheOldFile) {
    ScratchDirectory dir;
    const auto file = dir.write("doc.bin", "the user's work");
    EXPECT_EXIT(
        {
            AtomicFile::failureHook([](AtomicFile::EStep step, const std::filesystem::path&) {
                if (step == AtomicFile::eRename)
                    std::raise(SIGKILL);
                return 0;
            });
            AtomicFile::write(file, "half saved");
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(ScratchDirectory::read(file), "the user's work");
    // The temporary was written in full and flushed: the kill came at the worst moment.
    std::set<std::string> names = Names(dir);
    ASSERT_EQ(names.size(), 2u);
    names.erase("doc.bin");
    EXPECT_EQ(ScratchDirectory::read(dir / *names.begin()), "half saved");

    ASSERT_TRUE(AtomicFile::write(file, "saved").isSuccess()) << "the leftover is no obstacle";
    EXPECT_EQ(ScratchDirectory::read(file), "saved");
}
