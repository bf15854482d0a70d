// Documents saved and opened: a failed save loses nothing, and hostile sizes are refused.
#include <Host/Document/Document.h>
#include <Host/Document/ModelCodec.h>
#include <Host/Generate/Shapes.h>
#include <Host/Model/Body.h>
#include <Host/Model/Component.h>
#include <Host/Model/Mesh.h>
#include <Host/Model/Model.h>

#include <Brio/Base/AtomicFile.h>
#include <Brio/DataModel/Asset.h>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Brio::AtomicFile;

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / ("HostDocumentTest-" + std::to_string(getpid()) + "-" + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_path = (m_dir / "work.brio").string();
        doc.model().root().addBody("Block", Host::Shapes::Block({1, 1, 1}), {"Red", 1, 0, 0, 1});
        std::string error;
        ASSERT_TRUE(doc.save(m_path, error)) << error;
        m_saved = read(m_path);
        // An edit made after the save, which the failed saves must not lose.
        doc.model().root().addBody("Second", Host::Shapes::Block({2, 1, 1}), {"Blue", 0, 0, 1, 1});
    }
    void TearDown() override {
        AtomicFile::failureHook({});
        fs::remove_all(m_dir);
    }

    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& e : fs::directory_iterator(m_dir))
            found.insert(e.path().filename().string());
        return found;
    }
    /// The saved file is the first save's, and the document still holds (and saves) the edit.
    void expectNothingLost(const std::string& what) {
        EXPECT_EQ(read(m_path), m_saved) << what;
        std::string error;
        std::unique_ptr<Host::Document> old = Host::Document::open(m_path, error);
        ASSERT_TRUE(old) << what << ": " << error;
        EXPECT_EQ(old->model().root().bodies().size(), 1u) << what;
        ASSERT_EQ(doc.model().root().bodies().size(), 2u) << what;
    }
    void expectSavesAfterwards() {
        std::string error;
        ASSERT_TRUE(doc.save(m_path, error)) << error;
        std::unique_ptr<Host::Document> back = Host::Document::open(m_path, error);
        ASSERT_TRUE(back) << error;
        ASSERT_EQ(back->model().root().bodies().size(), 2u);
        EXPECT_EQ(back->model().root().bodies()[1]->name(), "Second");
    }

    Host::Document doc{"Work"};
    fs::path m_dir;
    std::string m_path;
    std::string m_saved;
};

TEST_F(DocumentTest, AFailedWriteFlushOrRenameKeepsTheFileAndTheDocument) {
    for (const auto& [step, cause] : {std::pair{AtomicFile::eCreate, EACCES}, std::pair{AtomicFile::eWrite, ENOSPC},
                                      std::pair{AtomicFile::eFlush, EIO}, std::pair{AtomicFile::eRename, EBUSY}}) {
        AtomicFile::failureHook(
            [step, cause](AtomicFile::EStep now, const fs::path&) { return now == step ? cause : 0; });
        std::string error;
        EXPECT_FALSE(doc.save(m_path, error)) << step;
        AtomicFile::failureHook({});
        EXPECT_NE(error.find(m_path), std::string::npos) << error;
        EXPECT_NE(error.find(std::strerror(cause)), std::string::npos) << error;
        EXPECT_EQ(names(), std::set<std::string>{"work.brio"}) << step << ": no temporary left";
        expectNothingLost(error);
    }
    expectSavesAfterwards();
}

TEST_F(DocumentTest, ASaveOverAFolderFailsAndKeepsTheFolder) {
    const fs::path folder = m_dir / "taken.brio";
    fs::create_directories(folder / "inside");
    std::string error;
    EXPECT_FALSE(doc.save(folder.string(), error));
    EXPECT_NE(error.find(folder.string()), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(EISDIR)), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(folder / "inside"));
    EXPECT_EQ(names(), (std::set<std::string>{"taken.brio", "work.brio"}));
    expectNothingLost(error);
    expectSavesAfterwards();
}

TEST_F(DocumentTest, AFullDiskKeepsTheFile) {
    // The kernel's file size limit stops the write part way, as a full disk would.
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit;
            limit.rlim_cur = limit.rlim_max = 512;
            ::setrlimit(RLIMIT_FSIZE, &limit);
            std::string error;
            const bool saved = doc.save(m_path, error);
            std::_Exit(!saved && error.find(std::strerror(EFBIG)) != std::string::npos ? 3 : 1);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(names(), std::set<std::string>{"work.brio"});
    expectNothingLost("full disk");
    expectSavesAfterwards();
}

TEST_F(DocumentTest, AProcessKilledBeforeTheRenameKeepsTheFile) {
    EXPECT_EXIT(
        {
            AtomicFile::failureHook([](AtomicFile::EStep step, const fs::path&) {
                if (step == AtomicFile::eRename)
                    std::raise(SIGKILL);
                return 0;
            });
            std::string error;
            doc.save(m_path, error);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(names().size(), 2u) << "the killed save's temporary is all that is left of it";
    expectNothingLost("killed");
    expectSavesAfterwards();
}

/// A model part whose one body declares `indices` triangle indices, with only a few bytes after.
std::vector<std::uint8_t> ModelDeclaring(std::uint32_t indices) {
    std::vector<std::uint8_t> b;
    const auto u32 = [&b](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(std::uint8_t(v >> (8 * i)));
    };
    const auto str = [&](const std::string& s) {
        u32(std::uint32_t(s.size()));
        b.insert(b.end(), s.begin(), s.end());
    };
    const std::string magic = "BRIOHOST";
    b.insert(b.end(), magic.begin(), magic.end());
    u32(1);         // version
    str("Hostile"); // model
    u32(1);         // components
    str("Root");
    u32(1); // bodies
    str("Body");
    str("Material");
    for (int i = 0; i < 4; ++i)
        u32(0);                               // colour
    u32(1);                                   // visible
    for (int array = 0; array < 2; ++array) { // positions, normals: one point each
        u32(1);
        for (int i = 0; i < 3; ++i)
            u32(0);
    }
    u32(indices);
    for (int i = 0; i < 12; ++i)
        u32(0);
    return b;
}

TEST_F(DocumentTest, AModelDeclaringABillionIndicesIsRefusedByItsCount) {
    Host::Model model;
    std::string error;
    EXPECT_FALSE(Host::ModelCodec::read(ModelDeclaring(1'000'000'000), model, error));
    EXPECT_EQ(error, "the model's body 'Body' declares 1000000000 triangle indices, more than the limit of " +
                         std::to_string(3 * Host::Mesh::kMaxTriangles));

    // Just under the limit the count is still weighed against the bytes there are.
    Host::Model other;
    EXPECT_FALSE(Host::ModelCodec::read(ModelDeclaring(3 * Host::Mesh::kMaxTriangles), other, error));
    EXPECT_EQ(error, "the model is damaged");

    // Opened as a document, the error names the file.
    Host::Document hostile("Hostile");
    hostile.asset().putPart(Brio::Asset::EPartFolder::eBlobs, Host::ModelCodec::kPartName,
                            ModelDeclaring(1'000'000'000));
    const std::string path = (m_dir / "hostile.brio").string();
    ASSERT_TRUE(hostile.asset().save(path).isSuccess());
    EXPECT_EQ(Host::Document::open(path, error), nullptr);
    EXPECT_NE(error.find("cannot open '" + path + "': the model's body 'Body' declares 1000000000"), std::string::npos)
        << error;
}

} // namespace
