#include "../TestSupport.h"

#include <Lumo/Objects/UString.h>

#include <algorithm>
#include <thread>
#include <vector>

using namespace Lumo::Scene;
using namespace SceneTest;
using Lumo::Objects::Intern;
using Lumo::Objects::vec3;

namespace {
class RejectAll : public SelectionQualifier {
public:
    bool selectable(Lumo::Graphics::IIntersection*) override { return false; }
};

bool Same(const Attribute* a, const Attribute* b) {
    return a->Equals(b) && b->Equals(a);
}
} // namespace

TEST(AttributeCatalogueTest, SelectabilityComparesFlagPriorityAndQualifierIdentity) {
    LiveObjectGuard guard;
    SelectionQualifier accept;
    RejectAll reject;
    EXPECT_TRUE(accept.selectable(nullptr));
    EXPECT_FALSE(static_cast<SelectionQualifier&>(reject).selectable(nullptr));
    EXPECT_EQ(accept.ClassName(), Intern(L"SelectionQualifier"));
    EXPECT_EQ(reject.GetInterface(Intern(L"SelectionQualifier")), static_cast<void*>(&reject));
    EXPECT_EQ(accept.GetInterface(Intern(L"Attribute")), nullptr);

    AutoPtr<SelectabilityAttribute> a = SelectabilityAttribute::Make(true, 3, &accept);
    EXPECT_EQ(a->Qualifier(), &accept);
    EXPECT_TRUE(Same(a, AutoPtr<Attribute>(SelectabilityAttribute::Make(true, 3, &accept))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(SelectabilityAttribute::Make(true, 3, &reject))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(SelectabilityAttribute::Make(true, 4, &accept))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(SelectabilityAttribute::Make(false, 3, &accept))));
    EXPECT_EQ(a->ToString(), L"true");
    EXPECT_EQ(AutoPtr<Attribute>(SelectabilityAttribute::Make(false, 0, nullptr))->ToString(), L"false");
}

TEST(AttributeCatalogueTest, PixelScaleToleratesCentreNoiseButNotSizeChanges) {
    LiveObjectGuard guard;
    AutoPtr<Attribute> a = PixelScaleAttribute::Make(20.0, 1.5, {1, 2, 3});
    const float nudged = 1.0000001f; // one float step above 1
    ASSERT_NE(nudged, 1.0f);
    EXPECT_TRUE(Same(a, AutoPtr<Attribute>(PixelScaleAttribute::Make(20.0, 1.5, {nudged, 2, 3}))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(PixelScaleAttribute::Make(20.0, 1.5 + 1e-12, {1, 2, 3}))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(PixelScaleAttribute::Make(20.0000001, 1.5, {1, 2, 3}))));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(PixelScaleAttribute::Make(20.0, 1.5, {1, 2, 3.00001f}))));
    EXPECT_EQ(a->ToString(), L"Screen Space Size: 20\nModel Space Size: 1.5\nScaleCenter: 1 2 3");
}

TEST(AttributeCatalogueTest, ColorHintEqualsOnlyRealColorHints) {
    LiveObjectGuard guard;
    AutoPtr<Attribute> red = ColorHintAttribute::Make({1, 0, 0.25f});
    EXPECT_TRUE(Same(red, AutoPtr<Attribute>(ColorHintAttribute::Make({1, 0, 0.2500005f}))));
    EXPECT_FALSE(red->Equals(AutoPtr<Attribute>(ColorHintAttribute::Make({1, 0.01f, 0.25f}))));
    // Same kind, priority and tie flag, but not the class: no colour to compare.
    EXPECT_FALSE(red->Equals(AutoPtr<Attribute>(KindAttribute::Make(eColorHint))));
    EXPECT_EQ(red->ToString(), L"1 0 0.25");
}

TEST(AttributeCatalogueTest, ValueKindsCompareAndPrintTheirValue) {
    LiveObjectGuard guard;
    AutoPtr<Attribute> cull = CullModeAttribute::Make(Lumo::Devices::eCullBack);
    EXPECT_TRUE(Same(cull, AutoPtr<Attribute>(CullModeAttribute::Make(Lumo::Devices::eCullBack))));
    EXPECT_FALSE(cull->Equals(AutoPtr<Attribute>(CullModeAttribute::Make(Lumo::Devices::eCullFront))));
    EXPECT_EQ(cull->ToString(), L"3");

    AutoPtr<Attribute> layer = TransparentLayerAttribute::Make(eTransparentLayerFront);
    EXPECT_FALSE(layer->Equals(AutoPtr<Attribute>(TransparentLayerAttribute::Make(eTransparentLayerBack))));
    EXPECT_EQ(layer->ToString(), L"2");

    AutoPtr<Attribute> order = OrderInTransparentGroupAttribute::Make(-7);
    EXPECT_TRUE(Same(order, AutoPtr<Attribute>(OrderInTransparentGroupAttribute::Make(-7))));
    EXPECT_FALSE(order->Equals(AutoPtr<Attribute>(OrderInTransparentGroupAttribute::Make(7))));
    EXPECT_EQ(order->ToString(), L"-7");

    AutoPtr<Attribute> decal = DecalGeometryAttribute::Make(true, 2);
    EXPECT_TRUE(decal->Equals(AutoPtr<Attribute>(DecalGeometryAttribute::Make(true, 2))));
    EXPECT_FALSE(decal->Equals(AutoPtr<Attribute>(DecalGeometryAttribute::Make(false, 2))));
    EXPECT_TRUE(decal->ToString().IsEmpty());
}

TEST(AttributeCatalogueTest, ThreadIsEqualOnlyToItselfAndCopiesItsList) {
    LiveObjectGuard guard;
    std::vector<ThreadData> threads{{1.25f, 8, 2, 3}};
    AutoPtr<ThreadAttribute> a = ThreadAttribute::Make(threads);
    threads[0].pitch = 9;
    ASSERT_EQ(a->ThreadDataList().size(), 1u);
    EXPECT_EQ(a->ThreadDataList()[0].pitch, 1.25f) << "the list is copied";
    EXPECT_TRUE(a->Equals(a));
    EXPECT_FALSE(a->Equals(AutoPtr<Attribute>(ThreadAttribute::Make(a->ThreadDataList()))));
    EXPECT_TRUE(a->ToString().IsEmpty());
}

TEST(AttributeCatalogueTest, IdentityCountersAreConsecutiveAndUniqueAcrossThreads) {
    LiveObjectGuard guard;
    AutoPtr<GroupAttribute> g1 = GroupAttribute::Make(), g2 = GroupAttribute::Make();
    EXPECT_EQ(g2->Group(), g1->Group() + 1);
    EXPECT_FALSE(g1->Equals(g2));
    EXPECT_EQ(g1->ToString(), Lumo::Objects::KString(std::to_wstring(g1->Group())));
    AutoPtr<ObjectIDAttribute> o1 = ObjectIDAttribute::Make(), o2 = ObjectIDAttribute::Make();
    EXPECT_EQ(o2->ObjectID(), o1->ObjectID() + 1);
    EXPECT_FALSE(o1->Equals(o2));

    constexpr int kThreads = 4, kEach = 500;
    std::vector<std::vector<int>> groups(kThreads), ids(kThreads);
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t)
        workers.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                groups[t].push_back(AutoPtr<GroupAttribute>(GroupAttribute::Make())->Group());
                ids[t].push_back(AutoPtr<ObjectIDAttribute>(ObjectIDAttribute::Make())->ObjectID());
            }
        });
    for (auto& w : workers)
        w.join();
    for (auto* lists : {&groups, &ids}) {
        std::vector<int> all;
        for (auto& l : *lists)
            all.insert(all.end(), l.begin(), l.end());
        std::sort(all.begin(), all.end());
        EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "a value was handed out twice";
        EXPECT_EQ(all.back() - all.front(), kThreads * kEach - 1) << "values skipped";
    }
}

TEST(AttributeCatalogueTest, EachKindAnswersItsClassNameAndCountsItsLiveObjects) {
    struct Case {
        const wchar_t* name;
        EAttributeType type;
        int (*count)();
        Attribute* (*make)();
    };
    static vec3<float> zero;
    const Case cases[] = {
        {L"SelectabilityAttribute", eSelectability, SelectabilityAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(SelectabilityAttribute::Make(true, 0, nullptr)); }},
        {L"BillBoardAttribute", eBillBoard, BillBoardAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(BillBoardAttribute::Make(zero, BillBoardAttribute::eScreen, zero)); }},
        {L"PixelScaleAttribute", ePixelScale, PixelScaleAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(PixelScaleAttribute::Make(1, 1, zero)); }},
        {L"LineStyleAttribute", eLineStyle, LineStyleAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(LineStyleAttribute::Make(LineStyle())); }},
        {L"CullModeAttribute", eCullMode, CullModeAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(CullModeAttribute::Make(Lumo::Devices::eCullNone)); }},
        {L"ObjectIDAttribute", eObjectID, ObjectIDAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(ObjectIDAttribute::Make()); }},
        {L"GroupAttribute", eGroup, GroupAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(GroupAttribute::Make()); }},
        {L"SliceCapAttribute", eSliceCap, SliceCapAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(SliceCapAttribute::Make(eHalfSection, true, nullptr, nullptr)); }},
        {L"MultipleSliceNoCapAttribute", eSliceCap, MultipleSliceNoCapAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(MultipleSliceNoCapAttribute::Make({})); }},
        {L"ColorHintAttribute", eColorHint, ColorHintAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(ColorHintAttribute::Make(zero)); }},
        {L"ThreadAttribute", eThread, ThreadAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(ThreadAttribute::Make({})); }},
        {L"TransparentLayerAttribute", eTransparentLayer, TransparentLayerAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(TransparentLayerAttribute::Make(eTransparentLayerDefault)); }},
        {L"OrderInTransparentGroupAttribute", eOrderInTransparentGroup,
         OrderInTransparentGroupAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(OrderInTransparentGroupAttribute::Make(0)); }},
        {L"DecalGeometryAttribute", eDecalGeometry, DecalGeometryAttribute::NetObjectCount,
         [] { return static_cast<Attribute*>(DecalGeometryAttribute::Make()); }},
    };
    LiveObjectGuard guard;
    for (const Case& c : cases) {
        SCOPED_TRACE(Lumo::Objects::KString(c.name).Utf8());
        const int before = c.count();
        {
            AutoPtr<Attribute> a = c.make();
            EXPECT_EQ(a->Type(), c.type);
            EXPECT_EQ(a->ClassName(), Intern(c.name));
            EXPECT_EQ(a->GetInterface(Intern(c.name)), static_cast<void*>(a.get()));
            EXPECT_EQ(a->GetInterface(Intern(L"Attribute")), static_cast<void*>(a.get()));
            EXPECT_EQ(a->GetInterface(Intern(L"VisibilityAttribute")), nullptr);
            EXPECT_EQ(c.count(), before + 1);
            EXPECT_EQ(a->CurObjectCount(), before + 1);
        }
        EXPECT_EQ(c.count(), before);
    }
}
