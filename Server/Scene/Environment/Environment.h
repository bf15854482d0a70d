#pragma once
#include <Brio/Base/StrongRef.h>
#include <Brio/Types/Color.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/SBox3.h>
#include <Lumo/Objects/Vec.h>
#include <Scene/Environment/EnvFeature.h>
#include <Scene/Environment/EnvLight.h>
#include <Scene/Environment/SelectEffectInfo.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Brio {
class Segment;
}
namespace Lumo::Devices {
class ADrawContext;
class IBLInstance;
} // namespace Lumo::Devices
namespace Lumo::Graphics {
class GroupNode;
}

namespace Brio::Scene {

class LayoutGrid;
class Lighting;

/// A named visual setting of the modelling views, read from its definition file by the
/// EnvironmentManager: background and grid colours, the colours of sketch, joint, adorner and
/// preview graphics, selection and highlight effects, image-based lighting and lights,
/// scenery (a dome and a ground plane), scaling presets, colour cycling and the user-interface
/// style colours and command messages that go with it. Scenery, image-based lighting and the
/// auxiliary lighting need a device and are built once, by loadEnvironment.
class Environment {
public:
    using vec3 = Lumo::Objects::vec3<float>;

    /// The colours an environment names, in the order of its definition's elements.
    enum EColor : int {
        eGrid,
        eGridBackground,
        eLayoutGrid,
        eSketchEntity,
        eSketchConstraint,
        eSketchInference,
        eSketchInferenceMouse,
        eSketchProfile,
        eSketchLine,
        eSketchFixedLine,
        eTextBorder,
        eSketchText,
        eSketchTextHighlight,
        eSketchPreview,
        eSketchDimension,
        eSketchDimensionInfo,
        eDimensionPreview,
        eWorkAxis,
        eWorkPlane,
        eOriginXAxis,
        eOriginYAxis,
        eOriginZAxis,
        eAdornerUnspecified,
        eAdornerSelected,
        eAdornerHighlighted,
        eAdornerSelectedAndHighlighted,
        eAdornerImplicitSelection,
        eWorkPlaneAdorner,
        eDMBodyPreview,
        eDMEdgePreview,
        eTBCutPreview,
        eDMSculptCell,
        eDraftFacePreview,
        eJointBase,
        eJointDOF,
        eJointDOF2,
        eJointDOF3,
        eJointDimension,
        eJointError,
        eModelEdge,
        eColorCount
    };

    explicit Environment(const std::wstring& id);
    ~Environment();
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    // ---- identity and placement -------------------------------------------------------
    const std::wstring& id() const { return m_id; }
    void id(const std::wstring& id) { m_id = id; }
    /// The folder the environment's files (meshes, textures) are read from.
    const std::filesystem::path& directory() const { return m_directory; }
    void directory(const std::filesystem::path& folder) { m_directory = folder; }
    const vec3& originOffset() const { return m_originOffset; }
    void originOffset(const vec3& offset) { m_originOffset = offset; }
    double rotateDegrees() const { return m_rotateDegrees; }
    void rotateDegrees(double degrees) { m_rotateDegrees = degrees; }
    /// Centimetres.
    double nudgeDistance() const { return m_nudgeDistance; }
    void nudgeDistance(double cm) { m_nudgeDistance = cm; }
    int scaleTo() const { return m_scaleTo; }
    void scaleTo(int mode) { m_scaleTo = mode; }
    bool autoScale() const { return m_autoScale; }
    void autoScale(bool on) { m_autoScale = on; }
    float autoScaleFactor() const { return m_autoScaleFactor; }
    void autoScaleFactor(float factor) { m_autoScaleFactor = factor; }
    float layoutGridScaleFactor() const { return m_layoutGridScaleFactor; }
    void layoutGridScaleFactor(float factor) { m_layoutGridScaleFactor = factor; }

    // ---- colours ----------------------------------------------------------------------
    /// A colour by kind; opaque black for a kind out of range.
    const Brio::Color& color(EColor kind) const;
    void color(EColor kind, const Brio::Color& c);
    /// The definition element that sets a colour ("Grid", "SketchTextColor", ...); empty out of range.
    static const wchar_t* colorElementName(EColor kind);

#define BRIO_ENV_COLOR(name, kind)                                                                                     \
    const Brio::Color& name() const {                                                                                  \
        return color(kind);                                                                                            \
    }                                                                                                                  \
    void name(const Brio::Color& c) {                                                                                  \
        color(kind, c);                                                                                                \
    }
    BRIO_ENV_COLOR(gridColor, eGrid)
    BRIO_ENV_COLOR(gridbackgroundColor, eGridBackground)
    BRIO_ENV_COLOR(layoutgridColor, eLayoutGrid)
    BRIO_ENV_COLOR(sketchentityColor, eSketchEntity)
    BRIO_ENV_COLOR(sketchconstraintColor, eSketchConstraint)
    BRIO_ENV_COLOR(sketchinferenceColor, eSketchInference)
    BRIO_ENV_COLOR(sketchinferencemouseColor, eSketchInferenceMouse)
    BRIO_ENV_COLOR(sketchprofileColor, eSketchProfile)
    BRIO_ENV_COLOR(sketchlineColor, eSketchLine)
    BRIO_ENV_COLOR(sketchfixedlineColor, eSketchFixedLine)
    BRIO_ENV_COLOR(textborderColor, eTextBorder)
    BRIO_ENV_COLOR(sketchtextColor, eSketchText)
    BRIO_ENV_COLOR(sketchtexthighlightColor, eSketchTextHighlight)
    BRIO_ENV_COLOR(sketchpreviewColor, eSketchPreview)
    BRIO_ENV_COLOR(sketchdimensionColor, eSketchDimension)
    BRIO_ENV_COLOR(sketchdimensioninfoColor, eSketchDimensionInfo)
    BRIO_ENV_COLOR(dimensionpreviewColor, eDimensionPreview)
    BRIO_ENV_COLOR(workaxisColor, eWorkAxis)
    BRIO_ENV_COLOR(workplaneColor, eWorkPlane)
    BRIO_ENV_COLOR(originxaxisColor, eOriginXAxis)
    BRIO_ENV_COLOR(originyaxisColor, eOriginYAxis)
    BRIO_ENV_COLOR(originzaxisColor, eOriginZAxis)
    BRIO_ENV_COLOR(adornerunspecifiedColor, eAdornerUnspecified)
    BRIO_ENV_COLOR(adornerselectedColor, eAdornerSelected)
    BRIO_ENV_COLOR(adornerhighlightedColor, eAdornerHighlighted)
    BRIO_ENV_COLOR(adornerselectedandhighlightedColor, eAdornerSelectedAndHighlighted)
    BRIO_ENV_COLOR(adornerimplicitselectionColor, eAdornerImplicitSelection)
    BRIO_ENV_COLOR(workplaneadornerColor, eWorkPlaneAdorner)
    BRIO_ENV_COLOR(dmbodypreviewColor, eDMBodyPreview)
    BRIO_ENV_COLOR(dmedgepreviewColor, eDMEdgePreview)
    BRIO_ENV_COLOR(tbcutpreviewColor, eTBCutPreview)
    BRIO_ENV_COLOR(dmsculptcellColor, eDMSculptCell)
    BRIO_ENV_COLOR(draftfacepreviewColor, eDraftFacePreview)
    BRIO_ENV_COLOR(jointbaseColor, eJointBase)
    BRIO_ENV_COLOR(jointdofColor, eJointDOF)
    BRIO_ENV_COLOR(jointdof2Color, eJointDOF2)
    BRIO_ENV_COLOR(jointdof3Color, eJointDOF3)
    BRIO_ENV_COLOR(jointdimensionColor, eJointDimension)
    BRIO_ENV_COLOR(jointerrorColor, eJointError)
    BRIO_ENV_COLOR(modeledgeColor, eModelEdge)
#undef BRIO_ENV_COLOR
    /// The clear colour of the views (alpha 1).
    const Brio::Color& backgroundColor() const {
        return m_background;
    }
    void backgroundColor(const Brio::Color& c) {
        m_background = c;
    }

    // ---- selection and highlight effects ----------------------------------------------
    /// Null until the definition (or a setter) gives them.
    const SelectEffectInfo* selectParams() const {
        return m_select.get();
    }
    void selectParams(const SelectEffectInfo& info) {
        m_select = std::make_unique<SelectEffectInfo>(info);
    }
    const SelectEffectInfo* highlightParams() const {
        return m_highlight.get();
    }
    void highlightParams(const SelectEffectInfo& info) {
        m_highlight = std::make_unique<SelectEffectInfo>(info);
    }
    const SelectEffectInfo* materialPreviewSelectParams() const {
        return m_materialPreviewSelect.get();
    }
    void materialPreviewSelectParams(const SelectEffectInfo& info) {
        m_materialPreviewSelect = std::make_unique<SelectEffectInfo>(info);
    }
    const SelectEffectInfo* sketchSelectParams() const {
        return m_sketchSelect.get();
    }
    void sketchSelectParams(const SelectEffectInfo& info) {
        m_sketchSelect = std::make_unique<SelectEffectInfo>(info);
    }

    // ---- lighting ---------------------------------------------------------------------
    /// Ambient, glossy and sharp gains of the image-based lighting.
    const vec3& iblGains() const {
        return m_iblGains;
    }
    void iblGains(const vec3& gains) {
        m_iblGains = gains;
    }
    int lightCount() const {
        return int(m_lights.size());
    }
    /// Null outside 0 .. lightCount() - 1.
    const EnvLight* light(int index) const;
    void addLight(const EnvLight& light) {
        m_lights.push_back(light);
    }
    /// Built by buildAuxLighting; null before.
    Lighting* auxLighting() const;
    /// Built by loadIBLInstance; null before.
    Lumo::Devices::IBLInstance* iblInstance() const {
        return m_ibl.get();
    }

    // ---- scenery ----------------------------------------------------------------------
    int featureCount() const {
        return int(m_features.size());
    }
    /// Null outside 0 .. featureCount() - 1.
    const EnvFeature* feature(int index) const;
    void addFeature(const EnvFeature& feature) {
        m_features.push_back(feature);
    }
    /// The group of the surrounding features; null before loadScene.
    Lumo::Graphics::GroupNode* dome() const {
        return m_dome.get();
    }
    /// The group of the ground-plane features; null before loadScene.
    Lumo::Graphics::GroupNode* groundPlane() const {
        return m_groundPlane.get();
    }
    /// The box of the dome and the ground plane together; empty before loadScene.
    const Lumo::Objects::SBox3& modelBox() const {
        return m_modelBox;
    }
    LayoutGrid* layoutGrid() const {
        return m_layoutGrid.get();
    }
    /// The grid's root group.
    Lumo::Graphics::GroupNode* layoutGridNode() const;

    // ---- style ------------------------------------------------------------------------
    int cyclingColorCount() const {
        return int(m_cyclingColors.size());
    }
    /// The colours wrap round: index count is the first again. Opaque black when there are none.
    Brio::Color cyclingColor(int index) const;
    void addCyclingColor(const Brio::Color& c) {
        m_cyclingColors.push_back(c);
    }
    /// A user-interface colour by name; (0, 0, 0, 0) for a name never stored.
    Brio::Color uiColors(const std::wstring& name) const;
    void uiColors(const std::wstring& name, const Brio::Color& c) {
        m_uiColors[name] = c;
    }
    void addErrorMessage(const std::wstring& name, const std::wstring& text) {
        m_errors[name] = text;
    }
    void addWarningMessage(const std::wstring& name, const std::wstring& text) {
        m_warnings[name] = text;
    }
    void addHelpMessage(const std::wstring& name, const std::wstring& text) {
        m_help[name] = text;
    }
    /// Empty for a name never stored.
    std::wstring getErrorMessage(const std::wstring& name) const;
    std::wstring getWarningMessage(const std::wstring& name) const;
    std::wstring getHelpMessage(const std::wstring& name) const;
    /// Adds the style sheet's colours and the command messages of the current locale (falling
    /// back to "en-US"), shared by every environment, from resourceDirectory/Environments/SkyRoom.
    /// A file that fails to load adds nothing.
    void addStyleSheetAndCmdStrings(const std::filesystem::path& resourceDirectory);

    // ---- building what needs a device ------------------------------------------------
    /// Unless already loaded: loadScene, loadIBLInstance, buildAuxLighting; then loaded.
    void loadEnvironment(Lumo::Devices::ADrawContext& dc);
    bool loaded() const {
        return m_loaded.load(std::memory_order_acquire);
    }
    /// New dome and ground-plane groups filled with the features' meshes (JSON files through
    /// EnvFeature::loadJSONScene, any other through loadOmxScene); a feature whose mesh cannot
    /// be read is left out and its reason kept in loadErrors().
    void loadScene(Lumo::Devices::ADrawContext& dc);
    /// A new IBL instance with an environment fragment for each of Diffuse.exr (ambient),
    /// Specular.exr (glossy) and Reflection.exr (sharp) in the environment's folder that loads.
    void loadIBLInstance(Lumo::Devices::ADrawContext& dc);
    /// A new lighting of one light per EnvLight, in a transient segment of its own.
    void buildAuxLighting();
    /// Why parts of the scenery or the image-based lighting were left out, one text per part.
    const std::vector<std::wstring>& loadErrors() const {
        return m_loadErrors;
    }

private:
    std::wstring m_id;
    std::filesystem::path m_directory;
    vec3 m_originOffset{0, 0, 0};
    double m_rotateDegrees = 90.0;
    double m_nudgeDistance = 1.0;
    int m_scaleTo = 0;
    bool m_autoScale = false;
    float m_autoScaleFactor = 1.0f;
    float m_layoutGridScaleFactor = 1.0f;

    Brio::Color m_colors[eColorCount];
    Brio::Color m_background;

    std::unique_ptr<SelectEffectInfo> m_select, m_highlight, m_materialPreviewSelect, m_sketchSelect;

    vec3 m_iblGains{1, 1, 1};
    std::vector<EnvLight> m_lights;
    Brio::StrongRef<Brio::Segment> m_segment;
    Brio::StrongRef<Lighting> m_auxLighting;
    Lumo::Objects::AutoPtr<Lumo::Devices::IBLInstance> m_ibl;

    std::vector<EnvFeature> m_features;
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> m_dome;
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> m_groundPlane;
    Lumo::Objects::SBox3 m_modelBox;
    std::unique_ptr<LayoutGrid> m_layoutGrid;

    std::vector<Brio::Color> m_cyclingColors;
    std::map<std::wstring, Brio::Color> m_uiColors;
    std::map<std::wstring, std::wstring> m_errors, m_warnings, m_help;

    std::atomic<bool> m_loaded{false};
    std::mutex m_loadMutex; // several views may load the active environment at once
    std::vector<std::wstring> m_loadErrors;
};

} // namespace Brio::Scene
