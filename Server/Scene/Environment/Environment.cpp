#include <Scene/Environment/Environment.h>

#include <Brio/Base/StringConversion.h>
#include <Brio/Base/StringTable.h>
#include <Brio/Base/XMLDocument.h>
#include <Brio/DataModel/Segment.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/AFragment.h>
#include <Lumo/Devices/EnvironmentTexture.h>
#include <Lumo/Devices/GraphicScheme.h>
#include <Lumo/Devices/IBLInstance.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/Mat4.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Environment/EnvironmentReader.h>
#include <Scene/Environment/LayoutGrid.h>
#include <Scene/Environment/Light.h>
#include <Scene/Environment/Lighting.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

#include <algorithm>
#include <cwctype>
#include <string>

namespace Brio::Scene {

using Lumo::Objects::AutoPtr;

namespace {

struct ColorEntry {
    const wchar_t* element;
    Brio::Color initial;
};

/// What each colour is called in a definition, and what an environment starts with before its
/// definition is read: a calm light-grey scheme in which sketches read in dark blue, previews
/// in translucent orange and selections in blue.
const ColorEntry kColors[Environment::eColorCount] = {
    {L"Grid", {0.62f, 0.65f, 0.70f, 1.0f}},
    {L"GridBackground", {0.93f, 0.94f, 0.96f, 1.0f}},
    {L"LayoutGrid", {0.55f, 0.60f, 0.67f, 0.55f}},
    {L"SketchEntityColor", {0.10f, 0.22f, 0.55f, 1.0f}},
    {L"SketchConstraintColor", {0.15f, 0.55f, 0.25f, 1.0f}},
    {L"SketchInferenceColor", {0.85f, 0.55f, 0.10f, 1.0f}},
    {L"SketchInferenceMouseColor", {0.95f, 0.65f, 0.15f, 1.0f}},
    {L"SketchProfileColor", {0.55f, 0.70f, 0.95f, 0.35f}},
    {L"SketchLineColor", {0.10f, 0.22f, 0.55f, 1.0f}},
    {L"SketchFixedLineColor", {0.20f, 0.20f, 0.22f, 1.0f}},
    {L"TextBorderColor", {0.45f, 0.48f, 0.52f, 1.0f}},
    {L"SketchTextColor", {0.12f, 0.14f, 0.18f, 1.0f}},
    {L"SketchTextHighlightColor", {0.10f, 0.45f, 0.95f, 1.0f}},
    {L"SketchPreviewColor", {0.95f, 0.55f, 0.15f, 0.8f}},
    {L"SketchDimensionColor", {0.10f, 0.22f, 0.55f, 1.0f}},
    {L"SketchDimensionInfoColor", {0.40f, 0.45f, 0.55f, 1.0f}},
    {L"DimensionPreviewColor", {0.95f, 0.55f, 0.15f, 0.8f}},
    {L"WorkAxisColor", {0.85f, 0.50f, 0.10f, 1.0f}},
    {L"WorkPlaneColor", {0.95f, 0.75f, 0.35f, 0.25f}},
    {L"OriginXAxisColor", {0.85f, 0.20f, 0.20f, 1.0f}},
    {L"OriginYAxisColor", {0.20f, 0.65f, 0.25f, 1.0f}},
    {L"OriginZAxisColor", {0.20f, 0.35f, 0.85f, 1.0f}},
    {L"AdornerUnspecifiedColor", {0.55f, 0.58f, 0.62f, 1.0f}},
    {L"AdornerSelectedColor", {0.10f, 0.45f, 0.95f, 1.0f}},
    {L"AdornerHighlightedColor", {0.95f, 0.60f, 0.10f, 1.0f}},
    {L"AdornerSelectedAndHighlightedColor", {0.35f, 0.70f, 1.0f, 1.0f}},
    {L"AdornerImplicitSelectionColor", {0.45f, 0.65f, 0.90f, 1.0f}},
    {L"WorkPlaneAdornerColor", {0.95f, 0.75f, 0.35f, 0.6f}},
    {L"DMBodyPreviewColor", {0.30f, 0.60f, 0.95f, 0.45f}},
    {L"DMEdgePreviewColor", {0.10f, 0.40f, 0.90f, 1.0f}},
    {L"TBCutPreviewColor", {0.90f, 0.25f, 0.20f, 0.45f}},
    {L"DMSculptCellColor", {0.55f, 0.75f, 0.95f, 0.35f}},
    {L"DraftFacePreviewColor", {0.95f, 0.80f, 0.30f, 0.5f}},
    {L"JointBaseColor", {0.30f, 0.35f, 0.45f, 1.0f}},
    {L"JointDOFColor", {0.20f, 0.65f, 0.30f, 1.0f}},
    {L"JointDOF2Color", {0.85f, 0.55f, 0.10f, 1.0f}},
    {L"JointDOF3Color", {0.55f, 0.35f, 0.80f, 1.0f}},
    {L"JointDimensionColor", {0.10f, 0.22f, 0.55f, 1.0f}},
    {L"JointErrorColor", {0.90f, 0.15f, 0.15f, 1.0f}},
    {L"ModelEdgeColor", {0.08f, 0.08f, 0.10f, 1.0f}},
};

/// The box of every geometry below a node.
void ExtendBox(Lumo::Graphics::ARenderNode* node, Lumo::Objects::SBox3& box, int depth = 0) {
    if (!node || depth > 64)
        return;
    if (Lumo::Graphics::BaseGroupNode* group = node->AsGroup()) {
        for (int i = 0; i < group->ChildCount(); ++i)
            ExtendBox(group->Child(i), box, depth + 1);
        return;
    }
    box.Extend(node->WorldBox());
}

// On the text itself: a name that cannot be a path is the loader's to report, not a throw here.
bool EndsWithJson(const std::wstring& path) {
    if (path.size() < 5)
        return false;
    std::wstring ext = path.substr(path.size() - 5);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](wchar_t c) { return wchar_t(std::towlower(c)); });
    return ext == L".json";
}

} // namespace

Environment::Environment(const std::wstring& id) : m_id(id), m_layoutGrid(std::make_unique<LayoutGrid>(this)) {
    for (int i = 0; i < eColorCount; ++i)
        m_colors[i] = kColors[i].initial;
    m_background = Brio::Color(0.914f, 0.914f, 0.914f, 1.0f);
}

Environment::~Environment() = default;

const Brio::Color& Environment::color(EColor kind) const {
    static const Brio::Color none;
    return kind >= 0 && kind < eColorCount ? m_colors[kind] : none;
}

void Environment::color(EColor kind, const Brio::Color& c) {
    if (kind >= 0 && kind < eColorCount)
        m_colors[kind] = c;
}

const wchar_t* Environment::colorElementName(EColor kind) {
    return kind >= 0 && kind < eColorCount ? kColors[kind].element : L"";
}

const EnvLight* Environment::light(int index) const {
    return index >= 0 && index < lightCount() ? &m_lights[std::size_t(index)] : nullptr;
}

const EnvFeature* Environment::feature(int index) const {
    return index >= 0 && index < featureCount() ? &m_features[std::size_t(index)] : nullptr;
}

Lighting* Environment::auxLighting() const {
    return m_auxLighting.getTarget();
}

Lumo::Graphics::GroupNode* Environment::layoutGridNode() const {
    return m_layoutGrid ? m_layoutGrid->getRootNode() : nullptr;
}

Brio::Color Environment::cyclingColor(int index) const {
    const int n = cyclingColorCount();
    if (n == 0)
        return Brio::Color();
    return m_cyclingColors[std::size_t(((index % n) + n) % n)];
}

Brio::Color Environment::uiColors(const std::wstring& name) const {
    auto it = m_uiColors.find(name);
    return it == m_uiColors.end() ? Brio::Color(0, 0, 0, 0) : it->second;
}

std::wstring Environment::getErrorMessage(const std::wstring& name) const {
    auto it = m_errors.find(name);
    return it == m_errors.end() ? std::wstring() : it->second;
}

std::wstring Environment::getWarningMessage(const std::wstring& name) const {
    auto it = m_warnings.find(name);
    return it == m_warnings.end() ? std::wstring() : it->second;
}

std::wstring Environment::getHelpMessage(const std::wstring& name) const {
    auto it = m_help.find(name);
    return it == m_help.end() ? std::wstring() : it->second;
}

void Environment::addStyleSheetAndCmdStrings(const std::filesystem::path& resourceDirectory) {
    // Every environment shares the style and the texts kept with the default one.
    const std::filesystem::path folder = resourceDirectory / "Environments" / "SkyRoom";
    Brio::XMLDocument sheet;
    if (!sheet.load(folder / "UiItemsStyleSheet.xml").failed() && sheet.root().name() == "UiItemsStyleSheet")
        for (const Brio::XMLNode& item : sheet.root().children()) {
            const Brio::XMLAttribute name = item.attribute("name");
            Brio::Color c;
            if (name && EnvironmentReader::readColor(item.attribute("ARGB"), EnvironmentReader::eARGB, c))
                uiColors(name.asStr(), c);
        }

    Brio::XMLDocument messages;
    const std::wstring locale = Brio::StringTable::locale();
    bool read = !messages.load(folder / (L"CommandMessages_" + locale + L".xml")).failed();
    // A locale without its own texts still gets the English ones rather than none.
    if (!read && locale != L"en-US")
        read = !messages.load(folder / L"CommandMessages_en-US.xml").failed();
    if (!read || messages.root().name() != "CommandMessages")
        return;
    for (const Brio::XMLNode& item : messages.root().children()) {
        if (const Brio::XMLAttribute name = item.attribute("name")) {
            if (const Brio::XMLAttribute error = item.attribute("error"))
                addErrorMessage(name.asStr(), error.asStr());
            if (const Brio::XMLAttribute warning = item.attribute("warning"))
                addWarningMessage(name.asStr(), warning.asStr());
        }
        if (const Brio::XMLAttribute command = item.attribute("CmdName"))
            if (const Brio::XMLAttribute help = item.attribute("primaryHelp"))
                addHelpMessage(command.asStr(), help.asStr());
    }
}

void Environment::loadEnvironment(Lumo::Devices::ADrawContext& dc) {
    std::lock_guard lock(m_loadMutex);
    if (m_loaded)
        return;
    loadScene(dc);
    loadIBLInstance(dc);
    buildAuxLighting();
    m_loaded.store(true, std::memory_order_release);
}

void Environment::loadScene(Lumo::Devices::ADrawContext& dc) {
    m_dome = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eRenderListWorld, true);
    m_groundPlane = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eRenderListWorld, true);
    for (const EnvFeature& f : m_features) {
        std::wstring error;
        AutoPtr<Lumo::Graphics::GeometryNode> node = EndsWithJson(f.meshPath())
                                                         ? f.loadJSONScene(m_directory, dc, &error)
                                                         : f.loadOmxScene(m_directory, dc, &error);
        if (!node) {
            m_loadErrors.push_back(error);
            continue;
        }
        if (f.isGroundPlane()) {
            m_groundPlane->AddChild(node);
            // The ground lies beneath everything and catches what is drawn on it rather than hiding it.
            NodeChange change(node, true);
            change.depthPriority(0, false, 0);
            change.occludedEffect(L"", Brio::Color(0, 0, 0, 0), -1.0f, -1.0f, false, 0);
        } else {
            m_dome->AddChild(node);
        }
    }
    Lumo::Objects::SBox3 box;
    ExtendBox(m_dome, box);
    ExtendBox(m_groundPlane, box);
    m_modelBox = box;
}

void Environment::loadIBLInstance(Lumo::Devices::ADrawContext& dc) {
    using Lumo::Devices::GraphicScheme;
    using Lumo::Devices::IBLInstance;
    struct Part {
        const wchar_t* file;
        IBLInstance::ESlot slot;
        Lumo::Devices::AFragment* (*create)(Lumo::Devices::AVirtualDevice*);
        float gain;
    };
    const Part parts[] = {
        {L"Diffuse.exr", IBLInstance::eAmbient, &GraphicScheme::CreateAmbientEnvironment, m_iblGains.x},
        {L"Specular.exr", IBLInstance::eGlossy, &GraphicScheme::CreateGlossyEnvironment, m_iblGains.y},
        {L"Reflection.exr", IBLInstance::eSharp, &GraphicScheme::CreateSharpEnvironment, m_iblGains.z},
    };
    m_ibl = IBLInstance::Make();
    for (const Part& part : parts) {
        std::string error;
        AutoPtr<Lumo::Devices::EnvironmentTexture> texture =
            Lumo::Devices::LoadEnvironmentTexture(dc, (m_directory / part.file).wstring(), 4, &error);
        if (!texture) {
            m_loadErrors.push_back(Brio::Utility::toWide(error));
            continue;
        }
        AutoPtr<Lumo::Devices::AFragment> fragment = part.create(dc.VirtualDevice());
        Lumo::Devices::ParameterValues& values = fragment->Defaults();
        values.SetTexture(fragment->InputIndex(GraphicScheme::CubeParameter()), texture);
        values.SetFloat(fragment->InputIndex(GraphicScheme::GainParameter()), part.gain);
        values.SetMatrix(fragment->InputIndex(GraphicScheme::TransformParameter()),
                         Lumo::Objects::mat4<float>::Identity());
        fragment->MarkChanged();
        m_ibl->Environment(part.slot, fragment);
    }
    m_ibl->MarkChanged();
}

void Environment::buildAuxLighting() {
    m_auxLighting.reset();
    m_segment = Brio::Segment::makeStandalone(L"SceneEnvironmentSegment", true);
    m_auxLighting = Lighting::make(m_segment.getTarget());
    for (const EnvLight& e : m_lights) {
        Brio::StrongRef<Light> light = Light::make(m_segment.getTarget());
        const std::wstring& space = e.space();
        if (space == L"View")
            light->lightSpace(Light::eView);
        else if (space == L"World")
            light->lightSpace(Light::eWorld);
        else if (space == L"Model")
            light->lightSpace(Light::eModel);
        else if (space == L"GroundPlane")
            light->lightSpace(Light::eGroundPlane);
        else if (space.empty())
            light->lightSpace(Light::eUnset);
        // Point and spot lights stay what they are; anything else draws as the default, directional.
        if (e.type() == L"Point")
            light->lightType(Light::ePoint);
        else if (e.type() == L"Spot")
            light->lightType(Light::eSpot);
        const Brio::Color c(e.color().x * e.gain(), e.color().y * e.gain(), e.color().z * e.gain(), 1.0f);
        light->diffuseColor(c);
        light->specularColor(c);
        light->ambientColor(c);
        light->setAttenuation(e.attenuation().x, e.attenuation().y, e.attenuation().z);
        light->setSpotCone(e.spotInner(), e.spotOuter());
        light->direction(ZoGeVector3d(e.direction().x, e.direction().y, e.direction().z));
        light->position(ZoGePoint3d(e.position().x, e.position().y, e.position().z));
        m_auxLighting->addLight(light);
    }
}

} // namespace Brio::Scene
