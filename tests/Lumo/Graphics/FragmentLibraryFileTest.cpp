#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/AFragment.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/FragmentLibraryFile.h>
#include <Lumo/Graphics/ScriptFragment.h>
#include <Lumo/Graphics/ScriptFragmentHelper.h>
#include <Lumo/Graphics/ScriptInterpreter.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/UString.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using Lumo::Graphics::FragmentLibraryFile;
using Lumo::Graphics::ScriptFragment;
using Lumo::Graphics::ScriptFragmentHelper;
using Lumo::Objects::Intern;

namespace {

ScriptFragment* Acquired(const wchar_t* name) {
    auto* f = ScriptFragmentHelper::AcquireFragment(Intern(name));
    return f ? static_cast<ScriptFragment*>(f->GetInterface(ScriptFragment::StaticClassName())) : nullptr;
}

TEST(FragmentLibraryFileTest, FragmentsAreReadWithTheirParametersCommandsAndPrograms) {
    const char* text = R"(# two fragments
fragment T_One
description Draws "nothing" at all
level 30
input final
input gain float 0.5
input tint float4 1,0,0,1
input agents text ::StdDrawAgents
input on bool true
output final
commands
SetTarget @final
SetRenderParameter r "LOD Strategy" @lod
end
program
#version 450 core
void main() {}
endprogram
endfragment

fragment T_Two
endfragment
)";
    std::string error;
    ASSERT_EQ(FragmentLibraryFile::Parse(text, &error), 2) << error;
    ScriptFragment* one = Acquired(L"T_One");
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->Description(), L"Draws nothing at all");
    EXPECT_EQ(one->RequiredFeatureLevel(), 30);
    ASSERT_EQ(one->Inputs().size(), 5u);
    EXPECT_EQ(one->Defaults().GetInt(4), 1) << "booleans read as 0 or 1";
    EXPECT_FLOAT_EQ(one->Defaults().GetFloat(1), 0.5f);
    EXPECT_FLOAT_EQ(one->Defaults().GetFloat4(2).x, 1.0f);
    ASSERT_NE(one->FindArgument(Intern(L"agents")), nullptr);
    EXPECT_EQ(one->FindArgument(Intern(L"agents"))->text, L"::StdDrawAgents");
    ASSERT_EQ(one->Commands().size(), 2u);
    EXPECT_EQ(one->Commands()[1][2], L"LOD Strategy") << "quoted arguments keep their spaces";
    EXPECT_NE(one->Program().find("void main()"), std::string::npos);
    EXPECT_NE(one->Program().find("#version"), std::string::npos) << "programs keep their # lines";
    EXPECT_NE(Acquired(L"T_Two"), nullptr);
}

TEST(FragmentLibraryFileTest, MalformedTextIsRefusedWithItsLineAndRegistersNothing) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"fragment Bad_A\ninput x float nope\nendfragment\n", "line 2: bad default for x"},
        {"fragment Bad_B\ncommands\nSetTarget \"open\nend\nendfragment\n", "line 3: unclosed quote"},
        {"fragment Bad_C\nbogus 1\nendfragment\n", "line 2: unknown keyword bogus"},
        {"fragment Bad_D\ncommands\nClear\n", "line 4: the last fragment is not closed"},
        {"input x\n", "line 1: expected: fragment <name>"},
        {"fragment Bad_E\ninput x matrix9\nendfragment\n", "line 2: unknown type matrix9"},
        {"fragment Bad_F\nlevel high\nendfragment\n", "line 2: bad level"},
        {"fragment Bad_G\ninput n int 1e30\nendfragment\n", "line 2: bad default for n"},
        {"fragment Bad_H\ninput b float true\nendfragment\n", "line 2: bad default for b"},
        {"fragment Bad_I\ninput c float4 1,2,3,4,5\nendfragment\n", "line 2: bad default for c"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(FragmentLibraryFile::Parse(c.text, &error), -1) << c.text;
        EXPECT_EQ(error, c.error);
    }
    for (const wchar_t* name :
         {L"Bad_A", L"Bad_B", L"Bad_C", L"Bad_D", L"Bad_E", L"Bad_F", L"Bad_G", L"Bad_H", L"Bad_I"})
        EXPECT_EQ(ScriptFragmentHelper::AcquireFragment(Intern(name)), nullptr);
    std::string error;
    EXPECT_EQ(FragmentLibraryFile::Load("/no/such/file.lumof", &error), -1);
    EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST(FragmentLibraryFileTest, TheShippedLibraryParses) {
    const auto path =
        std::filesystem::path(LUMO_SOURCE_DIR) / "Platform/Lumo/Graphics/Resources" / FragmentLibraryFile::FileName();
    std::string error;
    EXPECT_GE(FragmentLibraryFile::Load(path, &error), 6) << error;
    for (const wchar_t* name :
         {L"VE_ClearFragment", L"VE_Draw3DFragment", L"VE_SoftShadows_Map", L"VE_SoftShadows_Render", L"NPR_FXAAPass"})
        EXPECT_NE(Acquired(name), nullptr) << std::string(name, name + wcslen(name));
}

TEST(ScriptInterpreterTest, ScriptsThatCannotRunSayWhy) {
    Lumo::Objects::AutoPtr<Lumo::Devices::VirtualDevice> device(Lumo::Devices::VirtualDevice::Make(nullptr));
    Lumo::Objects::AutoPtr<Lumo::Devices::ADrawContext> dc(Lumo::Devices::ADrawContext::Make(device));
    Lumo::Graphics::ScriptInterpreter interpreter(*dc);
    Lumo::Objects::AutoPtr<ScriptFragment> f(ScriptFragment::Make(Intern(L"T_Plain")));
    EXPECT_FALSE(interpreter.Run(f));
    EXPECT_EQ(interpreter.LastError(), L"the device cannot draw") << "a device without a context draws nothing";
    EXPECT_FALSE(interpreter.Run(nullptr));
}

} // namespace

namespace {

TEST(FragmentLibraryFileTest, DamagedLibrariesNeverCrashTheReader) {
    // The shipped library with bytes flipped, lines cut and lines swapped: every variant is
    // read or refused, never a crash (run under the sanitizer presets).
    const auto path =
        std::filesystem::path(LUMO_SOURCE_DIR) / "Platform/Lumo/Graphics/Resources" / FragmentLibraryFile::FileName();
    std::ifstream in(path, std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(good.empty());
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
        std::string text = good;
        const int edits = 1 + int(next() % 8);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const size_t at = next() % text.size();
            switch (next() % 4) {
            case 0:
                text[at] = char(next() % 256);
                break;
            case 1:
                text.erase(at, next() % 40);
                break;
            case 2:
                text.insert(at, "\"\n endfragment fragment \t level 1e99 input x float4 1,2\n");
                break;
            default:
                text.resize(at);
                break;
            }
        }
        std::string error;
        const int n = FragmentLibraryFile::Parse(text, &error);
        if (n < 0) {
            ++refused;
            EXPECT_FALSE(error.empty());
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GE(FragmentLibraryFile::Parse(good), 6) << "the good library is registered again";
}

} // namespace
