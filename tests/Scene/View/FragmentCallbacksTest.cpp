#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/FragmentValue.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/ScriptInterpreter.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/TraversalStateList.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/View/FragmentCallbacks.h>
#include <Scene/View/LODStrategy.h>

#include <gtest/gtest.h>

using Lumo::Devices::FragmentValue;
using Lumo::Graphics::TraversalStateList;
using Lumo::Objects::AutoPtr;

namespace {

struct CallbackSetup {
    AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    Lumo::Graphics::ScriptInterpreter interpreter{*dc};
    std::vector<AutoPtr<Lumo::Graphics::GeometryNode>> nodes;

    /// A list of states whose boxes are unit cubes centred at the given depths (z).
    AutoPtr<TraversalStateList> ListAt(std::initializer_list<double> depths) {
        AutoPtr<TraversalStateList> list(TraversalStateList::Make());
        for (double z : depths) {
            nodes.emplace_back(Lumo::Graphics::GeometryNode::Make());
            Lumo::Graphics::TraversalState s;
            s.BeginRoot(nodes.back());
            Lumo::Objects::SBox3 box;
            box.Extend({-0.5, -0.5, z - 0.5});
            box.Extend({0.5, 0.5, z + 0.5});
            s.CurrentBox(box);
            list->Add(s);
        }
        return list;
    }
    static double Depth(TraversalStateList& l, int i) { return l.At(i).CurrentBox().Center().z; }
};

TEST(FragmentCallbacksTest, SortingPutsTheFarthestFirstAlongTheViewDirection) {
    CallbackSetup s;
    AutoPtr<TraversalStateList> list = s.ListAt({2, 9, -1, 5});
    Brio::Scene::SortRenderListByZ sort;
    std::vector<FragmentValue> args{FragmentValue::Object(list)};
    ASSERT_TRUE(sort.Execute(s.interpreter, args));
    EXPECT_EQ(CallbackSetup::Depth(*list, 0), 9);
    EXPECT_EQ(CallbackSetup::Depth(*list, 1), 5);
    EXPECT_EQ(CallbackSetup::Depth(*list, 2), 2);
    EXPECT_EQ(CallbackSetup::Depth(*list, 3), -1);
    // Looking the other way (the eye turned about y) reverses the order.
    s.dc->ViewMatrix(Lumo::Objects::mat4<float>::Rotation({0, 1, 0}, 3.14159265f));
    ASSERT_TRUE(sort.Execute(s.interpreter, args));
    EXPECT_EQ(CallbackSetup::Depth(*list, 0), -1);
    std::vector<FragmentValue> none;
    EXPECT_FALSE(sort.Execute(s.interpreter, none)) << "a missing list answers false";
}

TEST(FragmentCallbacksTest, MergeAndTwoSidedCopyStatesAndRefuseMissingLists) {
    CallbackSetup s;
    AutoPtr<TraversalStateList> a = s.ListAt({1}), b = s.ListAt({2, 3}), empty = s.ListAt({});
    Brio::Scene::MergeRenderLists merge;
    std::vector<FragmentValue> args{FragmentValue::Object(a), FragmentValue::Object(b)};
    ASSERT_TRUE(merge.Execute(s.interpreter, args));
    EXPECT_EQ(a->Count(), 3);
    EXPECT_EQ(b->Count(), 2) << "the second list is copied, not moved";
    std::vector<FragmentValue> withEmpty{FragmentValue::Object(a), FragmentValue::Object(empty)};
    EXPECT_TRUE(merge.Execute(s.interpreter, withEmpty)) << "an empty second list is fine";
    EXPECT_EQ(a->Count(), 3);
    std::vector<FragmentValue> noFirst{FragmentValue(), FragmentValue::Object(b)};
    EXPECT_FALSE(merge.Execute(s.interpreter, noFirst));

    AutoPtr<TraversalStateList> front = s.ListAt({7}), back = s.ListAt({});
    Brio::Scene::TwoSidedProcessor twoSided;
    std::vector<FragmentValue> split{FragmentValue::Object(a), FragmentValue::Object(front),
                                     FragmentValue::Object(back)};
    ASSERT_TRUE(twoSided.Execute(s.interpreter, split));
    EXPECT_EQ(front->Count(), 3) << "the output lists start empty";
    EXPECT_EQ(back->Count(), 3);
    std::vector<FragmentValue> short_{FragmentValue::Object(a)};
    EXPECT_FALSE(twoSided.Execute(s.interpreter, short_));
}

TEST(FragmentCallbacksTest, ClippingPlaneIsSetThenRestored) {
    CallbackSetup s;
    s.dc->ClippingPlanes().push_back({0, 1, 0, 0});
    Brio::Scene::SetClippingPlane clip;
    std::vector<FragmentValue> set{FragmentValue::Text(L"set"), FragmentValue::Float4({1, 0, 0, -2})};
    ASSERT_TRUE(clip.Execute(s.interpreter, set));
    ASSERT_EQ(s.dc->ClippingPlanes().size(), 2u);
    EXPECT_EQ(s.dc->ClippingPlanes()[1].w, -2.0f);
    std::vector<FragmentValue> restore{FragmentValue::Text(L"restore")};
    ASSERT_TRUE(clip.Execute(s.interpreter, restore));
    ASSERT_EQ(s.dc->ClippingPlanes().size(), 1u);
    EXPECT_EQ(s.dc->ClippingPlanes()[0].y, 1.0f);
    std::vector<FragmentValue> noPlane{FragmentValue::Text(L"set")};
    EXPECT_FALSE(clip.Execute(s.interpreter, noPlane));
    EXPECT_EQ(s.dc->ClippingPlanes().size(), 1u);
}

TEST(LODStrategyTest, LevelsMapOntoTheLevelsSceneGeometryIsMadeAt) {
    using Brio::Scene::LODStrategy;
    for (int l = 0; l < 9; ++l)
        EXPECT_EQ(LODStrategy::mapLevel(l), 8);
    for (int l : {9, 10, 11})
        EXPECT_EQ(LODStrategy::mapLevel(l), 11);
    for (int l : {12, 13, 14})
        EXPECT_EQ(LODStrategy::mapLevel(l), 13);
    EXPECT_EQ(LODStrategy::mapLevel(15), 15);
    // Pixel sizes: a full screen is the finest level, each halving one level less.
    EXPECT_EQ(Lumo::Graphics::PixelBasedLODStrategy::LevelForPixels(768), 15);
    EXPECT_EQ(Lumo::Graphics::PixelBasedLODStrategy::LevelForPixels(256), 14);
    EXPECT_EQ(Lumo::Graphics::PixelBasedLODStrategy::LevelForPixels(8), 9);
    EXPECT_EQ(Lumo::Graphics::PixelBasedLODStrategy::LevelForPixels(0), 6);
}

} // namespace
