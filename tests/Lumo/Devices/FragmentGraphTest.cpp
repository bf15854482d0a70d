#include <Lumo/Devices/AFragment.h>
#include <Lumo/Devices/FragmentGraph.h>
#include <Lumo/Objects/AutoPtr.h>

#include <gtest/gtest.h>

using namespace Lumo::Devices;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::Intern;

namespace {
AutoPtr<AFragment> Stage(const wchar_t* name) {
    AutoPtr<AFragment> f = AFragment::Make(Intern(name));
    f->AddInput(Intern(L"in"), eParamFloat4);
    f->AddInput(Intern(L"gain"), eParamFloat);
    f->AddOutput(Intern(L"out"), eParamFloat4);
    f->AddOutput(Intern(L"mask"), eParamFloat);
    return f;
}
} // namespace

TEST(FragmentGraphTest, ConnectRefusesWhatCannotBeWired) {
    AutoPtr<FragmentGraph> g = FragmentGraph::Make(Intern(L"G"));
    AutoPtr<AFragment> a = Stage(L"A"), b = Stage(L"B"), c = Stage(L"C"), outsider = Stage(L"X");
    g->AddFragment(a);
    g->AddFragment(b);
    g->AddFragment(c);
    EXPECT_TRUE(g->Connect(a, Intern(L"out"), b, Intern(L"in")));
    EXPECT_TRUE(g->Connect(b, Intern(L"out"), c, Intern(L"in")));
    EXPECT_FALSE(g->Connect(outsider, Intern(L"out"), c, Intern(L"gain"))) << "not a member";
    EXPECT_FALSE(g->Connect(a, Intern(L"nope"), c, Intern(L"gain"))) << "no such output";
    EXPECT_FALSE(g->Connect(a, Intern(L"out"), b, Intern(L"in"))) << "input already fed";
    EXPECT_FALSE(g->Connect(a, Intern(L"out"), c, Intern(L"gain"))) << "float4 into float";
    EXPECT_FALSE(g->Connect(c, Intern(L"mask"), a, Intern(L"gain"))) << "a loop back to the start";
    EXPECT_TRUE(g->Connect(a, Intern(L"mask"), c, Intern(L"gain")));
    EXPECT_EQ(g->Connections().size(), 3u);
    EXPECT_EQ(g->Feeding(1, 0).from, 0);
    EXPECT_EQ(g->Feeding(0, 0).from, -1);
}

TEST(FragmentGraphTest, ArgumentsAndDeepCopies) {
    AutoPtr<FragmentGraph> g = FragmentGraph::Make(Intern(L"G"));
    AutoPtr<AFragment> a = Stage(L"A");
    g->AddFragment(a);
    EXPECT_TRUE(g->ExposeInput(a, Intern(L"gain"), Intern(L"Gain")));
    EXPECT_FALSE(g->ExposeInput(a, Intern(L"gain"), Intern(L"Gain"))) << "argument names are unique";
    EXPECT_TRUE(g->ExposeOutput(a, Intern(L"out"), Intern(L"final")));
    EXPECT_EQ(g->ArgumentTarget(Intern(L"Gain")).member, 0);
    EXPECT_EQ(g->ArgumentTarget(Intern(L"Gain")).input, 1);
    EXPECT_EQ(g->ArgumentTarget(Intern(L"missing")).member, -1);
    EXPECT_EQ(g->Inputs().at(0).type, eParamFloat);

    a->Defaults().SetFloat(1, 0.25f);
    AutoPtr<AFragment> copy = g->Clone();
    auto* cg = static_cast<FragmentGraph*>(copy.get());
    ASSERT_EQ(cg->FragmentCount(), 1);
    EXPECT_NE(cg->Fragment(0), a.get()) << "members are cloned";
    EXPECT_FLOAT_EQ(cg->Fragment(0)->Defaults().GetFloat(1, 0), 0.25f);
    a->Defaults().SetFloat(1, 0.75f);
    EXPECT_FLOAT_EQ(cg->Fragment(0)->Defaults().GetFloat(1, 0), 0.25f) << "copies are independent";
    EXPECT_EQ(cg->ArgumentTarget(Intern(L"Gain")).input, 1);
}
