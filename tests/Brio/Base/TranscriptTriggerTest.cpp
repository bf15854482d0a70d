#include <Brio/Base/TranscriptMgr.h>
#include <Brio/Base/TranscriptTrigger.h>

#include <gtest/gtest.h>

using namespace Brio;

namespace {
class LineTrigger : public TranscriptTrigger {
public:
    explicit LineTrigger(std::wstring line) : m_line(std::move(line)) { writeTranscriptEntry(); }

protected:
    std::wstring textCommandEntry() const override { return m_line; }

private:
    std::wstring m_line;
};

class SilentTrigger : public TranscriptTrigger {
public:
    SilentTrigger() { writeTranscriptEntry(); }
};
} // namespace

TEST(TranscriptTriggerTest, TriggersAppendTheirCommandLinesWhileRecording) {
    TranscriptMgr* mgr = TranscriptMgr::get();
    mgr->clear();
    EXPECT_TRUE(mgr->recording());
    EXPECT_FALSE(mgr->recordCamera()) << "camera lines are opt-in";

    LineTrigger(L"Scene.Redraw");
    SilentTrigger();
    LineTrigger(L"Options.Set a 1");
    EXPECT_EQ(mgr->entries(), (std::vector<std::wstring>{L"Scene.Redraw", L"Options.Set a 1"}));

    mgr->recording(false);
    LineTrigger(L"Scene.Lost");
    mgr->recording(true);
    EXPECT_EQ(mgr->entries().size(), 2u);
    mgr->clear();
    EXPECT_TRUE(mgr->entries().empty());
}
