#include "OptionsTestSupport.h"

#include <Brio/Base/TextCommand.h>
#include <Brio/Base/TextCommandConsole.h>
#include <Scene/Attributes/TraversalState.h>

#include <cwchar>
#include <sstream>

using namespace Brio::Scene;
using SceneTest::GraphicsOptionsTest;

namespace {

/// Runs a console line; the reply, with a mark when the command failed.
std::wstring RunLine(const std::wstring& line) {
    std::wstring reply;
    if (!Brio::TextCommand::run(line, reply))
        return L"FAILED: " + reply;
    return reply;
}

std::wstring HelpOf(const wchar_t* name) {
    Brio::TextCommand* c = Brio::TextCommand::find(L"Options", name);
    return c ? c->help() : L"<no such command>";
}

struct OnOffCommand {
    const wchar_t* name;
    const wchar_t* help;
    const wchar_t* prefix;
    bool (GraphicsOptionGroup::*get)() const;
};

} // namespace

TEST_F(GraphicsOptionsTest, OnOffCommandsSwitchAndReport) {
    using G = GraphicsOptionGroup;
    const OnOffCommand commands[] = {
        {L"MSAA", L"[/on] [/off] Turn on/off multi-sampling anti aliasing", L"The multi-sampling anti aliasing is: ",
         &G::MSAA},
        {L"FXAA", L"[/on] [/off] Turn on/off fast approximation anti aliasing",
         L"The fast approximation anti aliasing is: ", &G::FXAA},
        {L"OptimizedRendering",
         L"[/on] [/off] Turn on/off optimized rendering, where we minimize what gets invalidated",
         L"Optimized Rendering is: ", &G::optimizedRendering},
        {L"CachingRendering",
         L"[/on] [/off] Turn on/off caching rendering, where we can redisplay highlights more quickly",
         L"Caching Rendering is: ", &G::cachingRenderingResult},
        {L"LegacyFacetingAPI", L"[/on] [/off] Turn on/off legacy faceting code", L"Legacy faceting code is: ",
         &G::legacyFacetingAPI},
        {L"ColorCycling", L"[/on] [/off] Turn on/off color cycling for default material",
         L"Color cycling for default material is: ", &G::MaterialColorCycling},
        {L"DisplayDome", L"[/on] [/off] Turn on/off the display of the environment(dome)",
         L"The display of the environment(dome) is: ", &G::displayDome},
        {L"DisplayGroundPlane", L"[/on] [/off] Turn on/off the display of the environment(GroundPlane)",
         L"The display of the environment(GroundPlane) is: ", &G::displayGroundPlane},
        {L"SelectClosestItemOnly", L"[/on] [/off] Turn on/off selecting closest item only",
         L"The selecting closest item is: ", &G::selectClosestItemOnly},
        {L"ShowLayoutGrid", L"[/on] [/off] Turn on/off Layout Grid", L"LayoutGrid is : ", &G::showLayoutGrid},
        {L"GraphicsSplitTestEnabled", L"[/on] [/off] Turn on/off graphics split test",
         L"Graphics server/client split test is: ", &G::graphicsSplitTestEnabled},
        {L"TransparentBackground", L"[/on] [/off] Turn on/off transparent background when saved into an image",
         L"Transparent background is: ", &G::transparentBackground},
    };
    for (const OnOffCommand& c : commands) {
        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
        const std::wstring line = std::wstring(L"Options.") + c.name;
        EXPECT_EQ(HelpOf(c.name), c.help);
        const bool before = (options->*c.get)();
        EXPECT_EQ(RunLine(line), c.prefix + std::wstring(before ? L"on" : L"off")) << "without a flag only reports";
        EXPECT_EQ((options->*c.get)(), before);
        EXPECT_EQ(RunLine(line + L" /off"), c.prefix + std::wstring(L"off"));
        EXPECT_FALSE((options->*c.get)());
        EXPECT_EQ(RunLine(line + L" /ON"), c.prefix + std::wstring(L"on"));
        EXPECT_TRUE((options->*c.get)());
        EXPECT_EQ(RunLine(line + L" /off"), c.prefix + std::wstring(L"off"));
        EXPECT_EQ(RunLine(line + L" /off /on"), c.prefix + std::wstring(L"on")) << "/on is tested first";
    }
    EXPECT_EQ(Brio::TextCommand::helpListing(L"Options").empty(), false);
}

TEST_F(GraphicsOptionsTest, DriverCommandSetsTheDefaultAndNamesBoth) {
    EXPECT_EQ(HelpOf(L"driver"),
              L"[/DX11] [/DX9] [OpenGL] Set Default Graphics Driver(Note: will only be effective in next session)");
    EXPECT_EQ(RunLine(L"Options.driver"), L"The default graphics driver(virtual device) is: VirtualDeviceDx11\n"
                                          L"The working graphics driver(virtual device) is: none");
    EXPECT_EQ(RunLine(L"Options.driver /OpenGL"), L"The default graphics driver(virtual device) is: VirtualDeviceGL\n"
                                                  L"The working graphics driver(virtual device) is: none");
    EXPECT_EQ(options->driver(), L"VirtualDeviceGL");
    options->workingDriver(L"VirtualDeviceGL");
    EXPECT_EQ(RunLine(L"Options.driver /OpenGL /DX9"),
              L"The default graphics driver(virtual device) is: VirtualDeviceDx9\n"
              L"The working graphics driver(virtual device) is: VirtualDeviceGL")
        << "/DX9 is tested before /OpenGL";
    RunLine(L"Options.driver /OpenGL /DX9 /DX11");
    EXPECT_EQ(options->driver(), L"VirtualDeviceDx11");
    EXPECT_TRUE(Brio::BootstrapOptionGroup::get()->modified()) << "saved with the start-up preferences";
}

TEST_F(GraphicsOptionsTest, SelectionEffectCommandChoosesNormalOrDegraded) {
    EXPECT_EQ(HelpOf(L"SelectionEffect"), L"[/normal] [/fast] [/simplified] [/no] [/degraded] Use different selection "
                                          L"effect, either always or for degraded (interactive) selections!)");
    EXPECT_EQ(RunLine(L"Options.SelectionEffect"), L"The selection effect is: normal");
    EXPECT_EQ(RunLine(L"Options.SelectionEffect /fast"), L"The selection effect is: fast");
    EXPECT_EQ(options->selectionEffectOption(), eSelectionEffectFast);
    EXPECT_EQ(options->degradedSelectionEffectOption(), eSelectionEffectNormal);
    EXPECT_EQ(RunLine(L"Options.SelectionEffect /no /degraded"), L"The degraded selection effect is: none");
    EXPECT_EQ(options->degradedSelectionEffectOption(), eSelectionEffectNone);
    EXPECT_EQ(options->selectionEffectOption(), eSelectionEffectFast) << "the other one stays";
    EXPECT_EQ(RunLine(L"Options.SelectionEffect /simplified"), L"The selection effect is: simplified");
    EXPECT_EQ(RunLine(L"Options.SelectionEffect /degraded"), L"The degraded selection effect is: none");
    EXPECT_EQ(RunLine(L"Options.SelectionEffect /normal /no"), L"The selection effect is: normal");
}

TEST_F(GraphicsOptionsTest, ChoiceCommandsSetByFlagAndReportByName) {
    EXPECT_EQ(HelpOf(L"ObjectShadowType"), L"Set object shadow type: /sharp /soft /soft2 /none");
    EXPECT_EQ(RunLine(L"Options.ObjectShadowType"), L"The object shadow type is: none");
    EXPECT_EQ(RunLine(L"Options.ObjectShadowType /soft2"), L"The object shadow type is: soft2");
    EXPECT_EQ(options->objectShadowType(), 3);
    EXPECT_EQ(RunLine(L"Options.ObjectShadowType /soft"), L"The object shadow type is: soft");
    EXPECT_EQ(RunLine(L"Options.ObjectShadowType /none /sharp"), L"The object shadow type is: sharp");
    EXPECT_EQ(RunLine(L"Options.ObjectShadowType /none"), L"The object shadow type is: none");

    EXPECT_EQ(HelpOf(L"ObjectShadowFit"), L"Set object shadow Fit: /scene /view /cascade");
    EXPECT_EQ(RunLine(L"Options.ObjectShadowFit /cascade"), L"The object shadow fit is: cascade");
    EXPECT_EQ(options->objectShadowFit(), 2);
    EXPECT_EQ(RunLine(L"Options.ObjectShadowFit /view"), L"The object shadow fit is: view");
    EXPECT_EQ(RunLine(L"Options.ObjectShadowFit /scene"), L"The object shadow fit is: scene");

    EXPECT_EQ(HelpOf(L"DeviceType"), L"Set device type: /HAL /REF /SW");
    EXPECT_EQ(RunLine(L"Options.DeviceType"), L"The Device Type is: Hardware renderer");
    EXPECT_EQ(RunLine(L"Options.DeviceType /REF"),
              L"The Device Type is: Reference(software) renderer(Work for Dx9 & Dx11)");
    EXPECT_EQ(RunLine(L"Options.DeviceType /sw"), L"The Device Type is: Software renderer");
    EXPECT_EQ(options->deviceType(), 3);
    options->deviceType(9); // e.g. from a hand-edited file
    EXPECT_EQ(RunLine(L"Options.DeviceType"), L"The Device Type is: unknown (9)");
}

TEST_F(GraphicsOptionsTest, SupremeAggressiveConsolidationIsAnUnsavedSwitch) {
    EXPECT_EQ(HelpOf(L"SupremeAggressiveConsolidation"), L"Consolidate nodes the most aggressively: /on /off");
    ASSERT_TRUE(options->save().isSuccess()); // nothing left unsaved
    EXPECT_EQ(RunLine(L"Options.SupremeAggressiveConsolidation"), L"The most aggressive consolidation is: Disabled");
    EXPECT_EQ(RunLine(L"Options.SupremeAggressiveConsolidation /on"), L"The most aggressive consolidation is: Enabled");
    EXPECT_TRUE(options->supremeAggressiveConsolidation());
    EXPECT_FALSE(options->modified()) << "not an option of the file";
    EXPECT_EQ(RunLine(L"Options.SupremeAggressiveConsolidation /off"),
              L"The most aggressive consolidation is: Disabled");
}

TEST_F(GraphicsOptionsTest, NumberCommandsReportSetAndRefuseBadValues) {
    EXPECT_EQ(HelpOf(L"PixelScaleFactor"), L"Set global pixel-scale factor");
    EXPECT_EQ(RunLine(L"Options.PixelScaleFactor"), L" global pixel scale factor: 1 ");
    EXPECT_EQ(RunLine(L"Options.PixelScaleFactor 2.5"), L"okay");
    EXPECT_EQ(options->pixelScaleFactor(), 2.5f);
    EXPECT_EQ(Lumo::Scene::TraversalState::GlobalPixelScaleFactor(), 2.5f);
    EXPECT_EQ(RunLine(L"Options.PixelScaleFactor"), L" global pixel scale factor: 2.5 ");
    for (const wchar_t* bad : {L"abc", L"2.5x", L"0", L"-1", L"nan", L"inf", L"1e39", L"1 2", L"/x"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(RunLine(std::wstring(L"Options.PixelScaleFactor ") + bad), L"FAILED: illegal value");
        EXPECT_EQ(options->pixelScaleFactor(), 2.5f) << "left as it was";
    }

    EXPECT_EQ(HelpOf(L"MinFPS"),
              L"Set minimum allowed frame rate before start degrading effects and caching rendering result");
    EXPECT_EQ(RunLine(L"Options.MinFPS"), L" Minimum allowed frame rate: 14 ");
    EXPECT_EQ(RunLine(L"Options.MinFPS 0.5"), L"okay");
    EXPECT_EQ(options->minFPS(), 0.5);
    EXPECT_EQ(RunLine(L"Options.MinFPS 0"), L"okay") << "zero: never degrade";
    EXPECT_EQ(RunLine(L"Options.MinFPS -3"), L"FAILED: illegal value");
    EXPECT_EQ(RunLine(L"Options.MinFPS fast"), L"FAILED: illegal value");
    EXPECT_EQ(options->minFPS(), 0.0);
    EXPECT_EQ(RunLine(L"Options.MinFPS 24"), L"okay");
    EXPECT_EQ(RunLine(L"Options.MinFPS"), L" Minimum allowed frame rate: 24 ");
    options->pixelScaleFactor(1.0f);
}

TEST_F(GraphicsOptionsTest, ConsoleRunsOptionsCommands) {
    std::istringstream in("Options.MSAA /off\n"
                          "options.msaa\n"
                          "Options.PixelScaleFactor twice\n"
                          "help Options.MSAA\n");
    std::ostringstream out;
    Brio::TextCommandConsole console(in, out);
    EXPECT_EQ(console.run(), 1);
    EXPECT_EQ(out.str(), "The multi-sampling anti aliasing is: off\n"
                         "The multi-sampling anti aliasing is: off\n"
                         "Error: illegal value\n"
                         "Options.MSAA: [/on] [/off] Turn on/off multi-sampling anti aliasing\n");
    EXPECT_FALSE(options->MSAA());
}
