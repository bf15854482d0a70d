// Environment definition files: what each element sets, what missing or malformed values
// leave alone, definitions that cannot be used, and the shared style sheet and messages.
#include "EnvironmentTestSupport.h"

#include <Scene/Environment/EnvironmentReader.h>
#include <Scene/Environment/LayoutGrid.h>

#include <memory>

using namespace Brio::Scene;
using namespace EnvironmentTest;

namespace {

class EnvironmentDefinitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        Brio::StringTable::locale(L"en-US");
        manager.resourceDirectory(folder.path());
    }
    void TearDown() override { Brio::StringTable::locale(L""); }

    std::unique_ptr<Environment> load(const std::string& id, const std::string& body) {
        folder.define(id, body);
        return std::unique_ptr<Environment>(manager.loadEnvironment(Brio::Utility::toWide(id)));
    }

    ResourceFolder folder;
    EnvironmentManager manager; // one of the test's own: nothing process-wide changes
};

std::string Text(float v) {
    return Brio::Utility::formatNumber(v);
}

} // namespace

TEST_F(EnvironmentDefinitionTest, EveryElementSetsItsValue) {
    // Each colour element gets a colour of its own: red k/100, green 0.5, blue 0.25, alpha 0.75.
    std::string body;
    for (int k = 0; k < Environment::eColorCount; ++k)
        body += "<" + Brio::Utility::toUtf8(Environment::colorElementName(Environment::EColor(k))) + " ARGB=\"0.75 " +
                Text(k / 100.0f) + " 0.5 0.25\"/>";
    body += R"(
      <LayoutGrid ARGB="0.4 0.1 0.2 0.3" scaleFactor="2.5"/>
      <OriginOffset X="1" Y="-2" Z="3.5"/>
      <Background RGB="0.1 0.2 0.3"/>
      <SelectEffectInfo BaseColorRGBA="0.1 0.2 0.3 0.4" BackFaceColorRGBA="0.5 0.6 0.7 0.8"
          HaloColorRGBA="1 0 0 1" HiddenLineColorRGBA="0 1 0 1" LineColorRGBA="0 0 1 1"
          LineColor2RGBA="1 1 0 1" GlowColorRGBA="0 1 1 0.5" BlurWeight="2.5" HaloWidth="7" LinesWidth="4"
          UseBase="0" UseGlow="1" UseHalo="2" UseHiddenLines="1" UseLines="0" QuickHalo="1" DilateOne="1"/>
      <HighlightEffectInfo HaloWidth="9"/>
      <MaterialPreviewSelectEffectInfo LinesWidth="5"/>
      <SketchSelectEffectInfo BlurWeight="0.5"/>
      <Features>
        <Feature Shape="Sky.json" Texture="Sky.png" IsSurrounding="1" IsGroundPlane="0"/>
        <Feature Shape="Floor.obj" IsSurrounding="0" IsGroundPlane="2"/>
      </Features>
      <Lighting AmbientGain="0.25" GlossyGain="0.5" SharpGain="0.75">
        <Light type="Spot" Space="World" Color="0.5 0.6 0.7" Direction="0 0 -1" Position="1 2 3"
               Attenuation="1 0.1 0.01" Gain="2" SpotAngle="0.2 0.4"/>
        <Light/>
      </Lighting>
      <Scaling FitTo="2" AutoScale="3" AutoScaleFactor="1.75"/>
      <ColorCycleTable><Color RGB="1 0 0"/><Color RGB="0 1 0"/><Color RGB="0 0 1"/></ColorCycleTable>
      <RotationPreset rotateDegrees="22.5"/>
      <NudgePreset nudgeDistanceCM="0.25"/>)";
    auto env = load("Full", body);
    ASSERT_TRUE(env) << Brio::Utility::toUtf8(manager.lastError());
    EXPECT_EQ(env->id(), L"Full");
    EXPECT_EQ(env->directory(), folder.environment("Full"));

    for (int k = 0; k < Environment::eColorCount; ++k) {
        SCOPED_TRACE(k);
        if (k == Environment::eLayoutGrid)
            continue; // set again below
        ExpectColor(env->color(Environment::EColor(k)), k / 100.0f, 0.5f, 0.25f, 0.75f);
    }
    // The named accessors reach the colour of their element.
    EXPECT_EQ(env->gridColor(), env->color(Environment::eGrid));
    EXPECT_FLOAT_EQ(env->sketchtexthighlightColor().red(), int(Environment::eSketchTextHighlight) / 100.0f);
    EXPECT_FLOAT_EQ(env->adornerselectedandhighlightedColor().red(),
                    int(Environment::eAdornerSelectedAndHighlighted) / 100.0f);
    EXPECT_FLOAT_EQ(env->jointdof3Color().red(), int(Environment::eJointDOF3) / 100.0f);
    EXPECT_FLOAT_EQ(env->modeledgeColor().red(), int(Environment::eModelEdge) / 100.0f);
    ExpectColor(env->layoutgridColor(), 0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_FLOAT_EQ(env->layoutGridScaleFactor(), 2.5f);
    EXPECT_EQ(env->originOffset(), (Environment::vec3{1, -2, 3.5f}));
    ExpectColor(env->backgroundColor(), 0.1f, 0.2f, 0.3f, 1.0f);

    const SelectEffectInfo* select = env->selectParams();
    ASSERT_TRUE(select);
    ExpectColor(select->baseColor, 0.1f, 0.2f, 0.3f, 0.4f);
    ExpectColor(select->backFaceColor, 0.5f, 0.6f, 0.7f, 0.8f);
    ExpectColor(select->glowColor, 0, 1, 1, 0.5f);
    EXPECT_FLOAT_EQ(select->blurWeight, 2.5f);
    EXPECT_EQ(select->haloWidth, 7);
    EXPECT_EQ(select->linesWidth, 4);
    EXPECT_FALSE(select->useBase);
    EXPECT_TRUE(select->useGlow);
    EXPECT_FALSE(select->useHalo) << "only exactly 1 switches an effect flag on";
    EXPECT_TRUE(select->useHiddenLines);
    EXPECT_FALSE(select->useLines);
    EXPECT_TRUE(select->quickHalo && select->dilateOne);
    ASSERT_TRUE(env->highlightParams() && env->materialPreviewSelectParams() && env->sketchSelectParams());
    EXPECT_EQ(env->highlightParams()->haloWidth, 9);
    EXPECT_EQ(env->materialPreviewSelectParams()->linesWidth, 5);
    EXPECT_FLOAT_EQ(env->sketchSelectParams()->blurWeight, 0.5f);

    ASSERT_EQ(env->featureCount(), 2);
    EXPECT_EQ(env->feature(0)->meshPath(), L"Sky.json");
    EXPECT_EQ(env->feature(0)->texturePath(), L"Sky.png");
    EXPECT_TRUE(env->feature(0)->isSurrounding());
    EXPECT_FALSE(env->feature(0)->isGroundPlane());
    EXPECT_EQ(env->feature(1)->meshPath(), L"Floor.obj");
    EXPECT_TRUE(env->feature(1)->texturePath().empty());
    EXPECT_TRUE(env->feature(1)->isGroundPlane()) << "any value but 0 is true";
    EXPECT_EQ(env->feature(2), nullptr);
    EXPECT_EQ(env->feature(-1), nullptr);

    EXPECT_EQ(env->iblGains(), (Environment::vec3{0.25f, 0.5f, 0.75f}));
    ASSERT_EQ(env->lightCount(), 2);
    const EnvLight* spot = env->light(0);
    EXPECT_EQ(spot->type(), L"Spot");
    EXPECT_EQ(spot->space(), L"World");
    EXPECT_EQ(spot->color(), (EnvLight::vec3{0.5f, 0.6f, 0.7f}));
    EXPECT_EQ(spot->direction(), (EnvLight::vec3{0, 0, -1}));
    EXPECT_EQ(spot->position(), (EnvLight::vec3{1, 2, 3}));
    EXPECT_EQ(spot->attenuation(), (EnvLight::vec3{1, 0.1f, 0.01f}));
    EXPECT_FLOAT_EQ(spot->gain(), 2.0f);
    EXPECT_FLOAT_EQ(spot->spotInner(), 0.2f);
    EXPECT_FLOAT_EQ(spot->spotOuter(), 0.4f);
    EXPECT_EQ(*env->light(1), EnvLight()) << "a light starts from the defaults";
    EXPECT_EQ(env->light(1)->space(), L"View");
    EXPECT_EQ(env->light(1)->direction(), (EnvLight::vec3{-1, -1, -1}));

    EXPECT_EQ(env->scaleTo(), 2);
    EXPECT_TRUE(env->autoScale());
    EXPECT_FLOAT_EQ(env->autoScaleFactor(), 1.75f);
    ASSERT_EQ(env->cyclingColorCount(), 3);
    ExpectColor(env->cyclingColor(1), 0, 1, 0, 1);
    ExpectColor(env->cyclingColor(3), 1, 0, 0, 1); // wraps round
    ExpectColor(env->cyclingColor(-1), 0, 0, 1, 1);
    EXPECT_DOUBLE_EQ(env->rotateDegrees(), 22.5);
    EXPECT_DOUBLE_EQ(env->nudgeDistance(), 0.25);

    // The layout grid belongs to its environment and is there before anything is drawn.
    ASSERT_TRUE(env->layoutGrid());
    EXPECT_EQ(env->layoutGridNode(), env->layoutGrid()->getRootNode());
}

TEST_F(EnvironmentDefinitionTest, MissingValuesLeaveWhatWasThere) {
    const Environment fresh(L"Fresh");
    auto env = load("Sparse", R"(
      <OriginOffset Y="4"/>
      <Grid/>
      <LayoutGrid ARGB="1 0 0 0"/>
      <Background/>
      <SelectEffectInfo/>
      <Lighting><Light Space="World"/></Lighting>
      <Scaling/>
      <RotationPreset/>
      <NudgePreset/>)");
    ASSERT_TRUE(env);
    EXPECT_EQ(env->originOffset(), (Environment::vec3{0, 4, 0}));
    EXPECT_EQ(env->gridColor(), fresh.gridColor());
    EXPECT_FLOAT_EQ(env->layoutGridScaleFactor(), 1.0f);
    EXPECT_EQ(env->backgroundColor(), fresh.backgroundColor());
    ASSERT_TRUE(env->selectParams());
    EXPECT_EQ(*env->selectParams(), SelectEffectInfo()) << "an effect element starts from the defaults";
    EXPECT_EQ(env->highlightParams(), nullptr) << "effects the file does not give stay absent";
    EXPECT_EQ(env->iblGains(), (Environment::vec3{0, 0, 0})) << "gains are 0 when not given";
    ASSERT_EQ(env->lightCount(), 1);
    EXPECT_EQ(env->light(0)->type(), L"Directional");
    EXPECT_EQ(env->light(0)->color(), (EnvLight::vec3{1, 1, 1}));
    EXPECT_FLOAT_EQ(env->light(0)->gain(), 1.0f);
    EXPECT_EQ(env->scaleTo(), fresh.scaleTo());
    EXPECT_EQ(env->autoScale(), fresh.autoScale());
    EXPECT_FLOAT_EQ(env->autoScaleFactor(), fresh.autoScaleFactor());
    EXPECT_DOUBLE_EQ(env->rotateDegrees(), fresh.rotateDegrees());
    EXPECT_DOUBLE_EQ(env->nudgeDistance(), fresh.nudgeDistance());
    EXPECT_EQ(env->featureCount(), 0);
    EXPECT_EQ(env->cyclingColorCount(), 0);
    ExpectColor(env->cyclingColor(0), 0, 0, 0, 1);
}

TEST_F(EnvironmentDefinitionTest, MalformedValuesAreIgnored) {
    const Environment fresh(L"Fresh");
    auto env = load("Bad", R"(
      <Grid ARGB="1 0.5 0.5"/>
      <GridBackground ARGB="1 0.5 0.5 0.5 0.5"/>
      <SketchEntityColor ARGB="1 0.5 zero 0.5"/>
      <SketchLineColor ARGB="1 nan 0.5 0.5"/>
      <WorkAxisColor ARGB="1 1e999 0.5 0.5"/>
      <WorkPlaneColor ARGB=""/>
      <LayoutGrid scaleFactor="big"/>
      <Background RGB="0.1 0.2 0.3 0.4"/>
      <OriginOffset X="left" Y="2"/>
      <SelectEffectInfo HaloWidth="3.5" BlurWeight="heavy" UseHalo="yes" BaseColorRGBA="1 1 1"/>
      <Features><Feature Shape="A.json" IsSurrounding="yes" IsGroundPlane="0x1"/></Features>
      <Lighting AmbientGain="lots">
        <Light Color="1 2" Direction="1 2 3 4" Gain="x" SpotAngle="0.1"/>
      </Lighting>
      <Scaling FitTo="fit" AutoScale="" AutoScaleFactor="inf"/>
      <ColorCycleTable><Color RGB="1 0"/><Color/><Color RGB="0.2 0.4 0.6"/></ColorCycleTable>
      <RotationPreset rotateDegrees="ninety"/>
      <NudgePreset nudgeDistanceCM="1 cm"/>
      <Unknown ARGB="1 1 1 1"><Grid ARGB="1 1 1 1"/></Unknown>
      <grid ARGB="1 1 1 1"/>)");
    ASSERT_TRUE(env);
    for (auto kind : {Environment::eGrid, Environment::eGridBackground, Environment::eSketchEntity,
                      Environment::eSketchLine, Environment::eWorkAxis, Environment::eWorkPlane}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(env->color(kind), fresh.color(kind));
    }
    EXPECT_EQ(env->layoutgridColor(), fresh.layoutgridColor());
    EXPECT_FLOAT_EQ(env->layoutGridScaleFactor(), 1.0f);
    EXPECT_EQ(env->backgroundColor(), fresh.backgroundColor());
    EXPECT_EQ(env->originOffset(), (Environment::vec3{0, 2, 0}));
    ASSERT_TRUE(env->selectParams());
    EXPECT_EQ(*env->selectParams(), SelectEffectInfo());
    ASSERT_EQ(env->featureCount(), 1);
    EXPECT_FALSE(env->feature(0)->isSurrounding());
    EXPECT_TRUE(env->feature(0)->isGroundPlane()) << "hexadecimal integers read as numbers";
    EXPECT_EQ(env->iblGains().x, 0.0f);
    ASSERT_EQ(env->lightCount(), 1);
    EXPECT_EQ(*env->light(0), EnvLight());
    EXPECT_EQ(env->scaleTo(), fresh.scaleTo());
    EXPECT_EQ(env->autoScale(), fresh.autoScale());
    EXPECT_FLOAT_EQ(env->autoScaleFactor(), fresh.autoScaleFactor());
    ASSERT_EQ(env->cyclingColorCount(), 1) << "unreadable cycling colours are left out, not added as black";
    ExpectColor(env->cyclingColor(0), 0.2f, 0.4f, 0.6f, 1);
    EXPECT_DOUBLE_EQ(env->rotateDegrees(), fresh.rotateDegrees());
    EXPECT_DOUBLE_EQ(env->nudgeDistance(), fresh.nudgeDistance());
}

TEST_F(EnvironmentDefinitionTest, NumbersAreReadWhole) {
    float v[3] = {9, 9, 9};
    EXPECT_TRUE(EnvironmentReader::readNumbers(L"  1\t-2.5\n3e2 ", v, 3));
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[1], -2.5f);
    EXPECT_EQ(v[2], 300.0f);
    for (const wchar_t* bad : {L"", L"1 2", L"1 2 3 4", L"1,2,3", L"1 2 3x", L"1 2 inf", L"0x 1 2"}) {
        float w[3] = {7, 7, 7};
        EXPECT_FALSE(EnvironmentReader::readNumbers(bad, w, 3)) << Brio::Utility::toUtf8(bad);
        EXPECT_EQ(w[0], 7.0f) << "nothing is written on failure";
    }
}

TEST_F(EnvironmentDefinitionTest, UnusableDefinitionsGiveNothing) {
    EXPECT_EQ(manager.loadEnvironment(L"Missing"), nullptr);
    EXPECT_NE(manager.lastError().find(L"Missing.xml"), std::wstring::npos);

    folder.write("Environments/Broken/Broken.xml", "<Broken><Grid ARGB=\"1 1 1 1\"></Broken>");
    EXPECT_EQ(manager.loadEnvironment(L"Broken"), nullptr);
    EXPECT_NE(manager.lastError().find(L"Broken.xml"), std::wstring::npos);

    folder.write("Environments/Empty/Empty.xml", "");
    EXPECT_EQ(manager.loadEnvironment(L"Empty"), nullptr);

    folder.write("Environments/Named/Named.xml", "<SkyRoom/>");
    EXPECT_EQ(manager.loadEnvironment(L"Named"), nullptr) << "the root must be named after the id";
    EXPECT_NE(manager.lastError().find(L"root"), std::wstring::npos);

    // An id is one folder name: it cannot reach files elsewhere.
    folder.define("Inside", "");
    for (const wchar_t* id : {L"", L".", L"..", L"../Environments/Inside", L"Inside/../Inside", L"a\\b"}) {
        EXPECT_EQ(manager.loadEnvironment(id), nullptr) << Brio::Utility::toUtf8(id);
        EXPECT_NE(manager.lastError().find(L"cannot name"), std::wstring::npos);
    }
    std::unique_ptr<Environment> inside(manager.loadEnvironment(L"Inside"));
    EXPECT_TRUE(inside);
    EXPECT_TRUE(manager.lastError().empty());
}

TEST_F(EnvironmentDefinitionTest, StyleAndMessagesAreSharedFromSkyRoom) {
    folder.write("Environments/SkyRoom/UiItemsStyleSheet.xml", R"(<UiItemsStyleSheet>
        <Item name="Panel" ARGB="0.5 0.1 0.2 0.3"/>
        <Item name="NoColour"/>
        <Item ARGB="1 1 1 1"/>
        <Item name="Bad" ARGB="1 1"/>
      </UiItemsStyleSheet>)");
    folder.write("Environments/SkyRoom/CommandMessages_en-US.xml", R"(<CommandMessages>
        <Message name="NoSelection" error="Select something." warning="Nothing selected."/>
        <Message name="OnlyWarning" warning="Careful."/>
        <Command CmdName="Extrude" primaryHelp="Pick a profile."/>
        <Both name="Mixed" error="E" CmdName="Mixed" primaryHelp="H"/>
      </CommandMessages>)");
    auto env = load("Other", "");
    ASSERT_TRUE(env);
    ExpectColor(env->uiColors(L"Panel"), 0.1f, 0.2f, 0.3f, 0.5f);
    ExpectColor(env->uiColors(L"NoColour"), 0, 0, 0, 0);
    ExpectColor(env->uiColors(L"Bad"), 0, 0, 0, 0);
    ExpectColor(env->uiColors(L"Never"), 0, 0, 0, 0);
    EXPECT_EQ(env->getErrorMessage(L"NoSelection"), L"Select something.");
    EXPECT_EQ(env->getWarningMessage(L"NoSelection"), L"Nothing selected.");
    EXPECT_EQ(env->getErrorMessage(L"OnlyWarning"), L"");
    EXPECT_EQ(env->getWarningMessage(L"OnlyWarning"), L"Careful.");
    EXPECT_EQ(env->getHelpMessage(L"Extrude"), L"Pick a profile.");
    EXPECT_EQ(env->getErrorMessage(L"Mixed"), L"E");
    EXPECT_EQ(env->getHelpMessage(L"Mixed"), L"H");
    EXPECT_EQ(env->getHelpMessage(L"Never"), L"");

    // A locale without texts of its own falls back to the English ones.
    Brio::StringTable::locale(L"de-DE");
    auto german = load("German", "");
    EXPECT_EQ(german->getHelpMessage(L"Extrude"), L"Pick a profile.");
    folder.write("Environments/SkyRoom/CommandMessages_de-DE.xml",
                 R"(<CommandMessages><Command CmdName="Extrude" primaryHelp="Profil wählen."/></CommandMessages>)");
    german = load("German", "");
    EXPECT_EQ(german->getHelpMessage(L"Extrude"), L"Profil w\u00e4hlen.");
    EXPECT_EQ(german->getErrorMessage(L"NoSelection"), L"") << "only the locale's own file is read when it exists";

    // Files whose root is not what they should be add nothing.
    Brio::StringTable::locale(L"en-US");
    folder.write("Environments/SkyRoom/UiItemsStyleSheet.xml", R"(<Style><Item name="Panel" ARGB="1 1 1 1"/></Style>)");
    folder.write("Environments/SkyRoom/CommandMessages_en-US.xml",
                 R"(<Messages><Command CmdName="Extrude" primaryHelp="x"/></Messages>)");
    auto plain = load("Plain", "");
    ExpectColor(plain->uiColors(L"Panel"), 0, 0, 0, 0);
    EXPECT_EQ(plain->getHelpMessage(L"Extrude"), L"");
}
