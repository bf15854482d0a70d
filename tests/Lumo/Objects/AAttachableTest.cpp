#include "Probe.h"

#include <Lumo/Objects/AAttachable.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/UString.h>

#include <gtest/gtest.h>

using namespace Lumo::Objects;
using LumoTest::Probe;

namespace {
class Holder : public AAttachable {};

/// On destruction removes another attachment from its owner, as an attached helper that
/// tears down a sibling would.
class Unhooker : public ARefCounted {
public:
    Unhooker(AAttachable* owner, UString* sibling, std::atomic<int>* deaths)
        : m_owner(owner), m_sibling(sibling), m_deaths(deaths) {}
    ~Unhooker() override {
        m_owner->RemoveAttachment(m_sibling);
        ++*m_deaths;
    }

private:
    AAttachable* m_owner;
    UString* m_sibling;
    std::atomic<int>* m_deaths;
};
} // namespace

TEST(AAttachableTest, KeysAreInternedNames) {
    Holder h;
    int value = 7;
    h.AddVoidAttachment(Intern(L"AAttachableTest.key"), &value);
    EXPECT_EQ(h.GetAttachmentVoidData(InternUtf8("AAttachableTest.key")), &value);
    EXPECT_TRUE(h.HasAttachment(Intern(L"AAttachableTest.key")));
    EXPECT_FALSE(h.HasAttachment(Intern(L"AAttachableTest.other")));
    EXPECT_EQ(h.GetAttachmentVoidData(Intern(L"AAttachableTest.other")), nullptr);
    EXPECT_EQ(h.GetRefAttachment(Intern(L"AAttachableTest.key")), nullptr); // void data is not counted

    // A null value is still an attachment.
    h.AddVoidAttachment(Intern(L"AAttachableTest.null"), nullptr);
    EXPECT_TRUE(h.HasAttachment(Intern(L"AAttachableTest.null")));
    EXPECT_EQ(h.AttachmentCount(), 2);
}

TEST(AAttachableTest, CountedAttachmentsAreHeldAndReleased) {
    std::atomic<int> deaths{0};
    UString* key = Intern(L"AAttachableTest.counted");
    UString* other = Intern(L"AAttachableTest.second");
    {
        Holder h;
        auto* first = new Probe(&deaths);
        h.AddRefAttachment(key, first);
        EXPECT_EQ(first->RefCount(), 1);
        EXPECT_EQ(h.GetRefAttachment(key), first);
        EXPECT_EQ(h.GetAttachmentVoidData(key), first);

        h.AddRefAttachment(key, first); // again under the same key: still one reference
        EXPECT_EQ(first->RefCount(), 1);
        EXPECT_EQ(h.AttachmentCount(), 1);

        auto* second = new Probe(&deaths);
        h.AddRefAttachment(key, second); // replacing releases the old one
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(h.GetRefAttachment(key), second);
        EXPECT_EQ(h.AttachmentCount(), 1);

        int plain = 0;
        h.AddVoidAttachment(key, &plain); // void data over a counted one releases it too
        EXPECT_EQ(deaths, 2);
        EXPECT_EQ(h.GetRefAttachment(key), nullptr);
        EXPECT_EQ(h.GetAttachmentVoidData(key), &plain);

        h.AddRefAttachment(key, new Probe(&deaths));
        h.AddRefAttachment(other, new Probe(&deaths));
        EXPECT_TRUE(h.RemoveAttachment(other));
        EXPECT_EQ(deaths, 3);
        EXPECT_FALSE(h.RemoveAttachment(other));
        EXPECT_EQ(h.AttachmentCount(), 1);

        h.AddRefAttachment(other, new Probe(&deaths));
        h.RemoveAllAttachments();
        EXPECT_EQ(deaths, 5);
        EXPECT_EQ(h.AttachmentCount(), 0);
        EXPECT_FALSE(h.HasAttachment(key));

        AutoPtr<Probe> shared(new Probe(&deaths)); // held elsewhere too: survives removal
        h.AddRefAttachment(key, shared);
        h.AddRefAttachment(other, new Probe(&deaths));
        h.RemoveAttachment(key);
        EXPECT_EQ(shared->RefCount(), 1);
        EXPECT_EQ(deaths, 5);
    } // the destructor releases the rest
    EXPECT_EQ(deaths, 7);
}

TEST(AAttachableTest, ReleaseMayRemoveOtherAttachments) {
    std::atomic<int> deaths{0};
    UString* a = Intern(L"AAttachableTest.unhooker");
    UString* b = Intern(L"AAttachableTest.sibling");
    Holder h;
    h.AddRefAttachment(b, new Probe(&deaths));
    h.AddRefAttachment(a, new Unhooker(&h, b, &deaths));
    EXPECT_TRUE(h.RemoveAttachment(a));
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(h.AttachmentCount(), 0);

    h.AddRefAttachment(a, new Unhooker(&h, b, &deaths));
    h.AddRefAttachment(b, new Probe(&deaths));
    h.RemoveAllAttachments();
    EXPECT_EQ(deaths, 4);
    EXPECT_EQ(h.AttachmentCount(), 0);
}
