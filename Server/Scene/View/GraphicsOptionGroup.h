#pragma once
#include <Brio/Base/Option.h>
#include <Brio/Base/OptionGroup.h>

#include <atomic>
#include <mutex>
#include <string>

namespace Brio::Scene {

/// How selections and highlights are drawn.
enum SelectionEffectOptions : int {
    eSelectionEffectNormal = 1,
    eSelectionEffectFast = 2,
    eSelectionEffectSimplified = 3,
    eSelectionEffectNone = 4, ///< simple: without glow or halo
};

/// The user's graphics preferences ("GraphicsOptionGroup", shown as "Graphics"): what steers
/// drawing, selection display and picking, and a few developer switches. One per process,
/// made and loaded on first use; persisted in the server options file. Each setter tells the
/// option's listeners when the value changes; the graphics driver belongs to the host's
/// start-up group (BootstrapOptionGroup), as it is read before the device is made. The
/// console changes these through the commands of the area "Options".
class GraphicsOptionGroup : public Brio::OptionGroup {
public:
    static GraphicsOptionGroup* get();

    /// The device interface to create: "VirtualDeviceDx11", "VirtualDeviceDx9" or
    /// "VirtualDeviceGL"; used from the next session.
    std::wstring driver() const { return m_driver.value(); }
    void driver(const std::wstring& name) { m_driver.value(name); }
    /// The frame rate below which effects degrade.
    double minFPS() const { return m_minFPS.value(); }
    void minFPS(double fps) { m_minFPS.value(fps); }
    SelectionEffectOptions selectionEffectOption() const { return m_selectionEffectOption.value(); }
    void selectionEffectOption(SelectionEffectOptions o) { m_selectionEffectOption.value(o); }
    /// The selection display below the minimum frame rate.
    SelectionEffectOptions degradedSelectionEffectOption() const { return m_degradedSelectionEffectOption.value(); }
    void degradedSelectionEffectOption(SelectionEffectOptions o) { m_degradedSelectionEffectOption.value(o); }
    bool MSAA() const { return m_MSAA.value(); }
    void MSAA(bool on) { m_MSAA.value(on); }
    bool optimizedRendering() const { return m_optimizedRendering.value(); }
    void optimizedRendering(bool on) { m_optimizedRendering.value(on); }
    bool levelOfDetail() const { return m_levelOfDetail.value(); }
    void levelOfDetail(bool on) { m_levelOfDetail.value(on); }
    bool cachingRenderingResult() const { return m_cachingRenderingResult.value(); }
    void cachingRenderingResult(bool on) { m_cachingRenderingResult.value(on); }
    bool FXAA() const { return m_FXAA.value(); }
    void FXAA(bool on) { m_FXAA.value(on); }
    bool groundShadowEnabled() const { return m_groundShadowEnabled.value(); }
    void groundShadowEnabled(bool on) { m_groundShadowEnabled.value(on); }
    bool groundReflectionEnabled() const { return m_groundReflectionEnabled.value(); }
    void groundReflectionEnabled(bool on) { m_groundReflectionEnabled.value(on); }
    bool ambientOccludedEnabled() const { return m_ambientOccludedEnabled.value(); }
    void ambientOccludedEnabled(bool on) { m_ambientOccludedEnabled.value(on); }
    std::wstring environmentID() const { return m_environmentID.value(); }
    void environmentID(const std::wstring& id) { m_environmentID.value(id); }
    int NPREffect() const { return m_NPREffect.value(); }
    void NPREffect(int effect) { m_NPREffect.value(effect); }
    int visualStyle() const { return m_visualStyle.value(); }
    void visualStyle(int style) { m_visualStyle.value(style); }
    int cameraProjection() const { return m_cameraProjection.value(); }
    void cameraProjection(int projection) { m_cameraProjection.value(projection); }
    bool cameraPerspWithOrthoFaces() const { return m_cameraPerspWithOrthoFaces.value(); }
    void cameraPerspWithOrthoFaces(bool on) { m_cameraPerspWithOrthoFaces.value(on); }
    bool legacyFacetingAPI() const { return m_legacyFacetingAPI.value(); }
    void legacyFacetingAPI(bool on) { m_legacyFacetingAPI.value(on); }
    bool MaterialColorCycling() const { return m_MaterialColorCycling.value(); }
    void MaterialColorCycling(bool on) { m_MaterialColorCycling.value(on); }
    float pixelScaleFactor() const { return m_pixelScaleFactor.value(); }
    /// Also hands the factor to the traversal state, changed or not.
    void pixelScaleFactor(float factor);
    bool displaySilhouette() const { return m_displaySilhouette.value(); }
    void displaySilhouette(bool on) { m_displaySilhouette.value(on); }
    /// 0 none, 1 sharp, 2 soft, 3 soft2.
    int objectShadowType() const { return m_objectShadowType.value(); }
    void objectShadowType(int type) { m_objectShadowType.value(type); }
    /// 0 scene, 1 view, 2 cascade.
    int objectShadowFit() const { return m_objectShadowFit.value(); }
    void objectShadowFit(int fit) { m_objectShadowFit.value(fit); }
    /// 1 hardware, 2 reference (software), 3 software.
    int deviceType() const { return m_deviceType.value(); }
    void deviceType(int type) { m_deviceType.value(type); }
    bool displayDome() const { return m_displayDome.value(); }
    void displayDome(bool on) { m_displayDome.value(on); }
    bool displayGroundPlane() const { return m_displayGroundPlane.value(); }
    void displayGroundPlane(bool on) { m_displayGroundPlane.value(on); }
    bool selectClosestItemOnly() const { return m_selectClosestItemOnly.value(); }
    void selectClosestItemOnly(bool on) { m_selectClosestItemOnly.value(on); }
    bool showLayoutGrid() const { return m_showLayoutGrid.value(); }
    void showLayoutGrid(bool on) { m_showLayoutGrid.value(on); }
    bool showGridRefNumbers() const { return m_showGridRefNumbers.value(); }
    void showGridRefNumbers(bool on) { m_showGridRefNumbers.value(on); }
    /// Whether change packets are mirrored as JSON into a client scene at each sync.
    bool graphicsSplitTestEnabled() const { return m_graphicsSplitTestEnabled.value(); }
    void graphicsSplitTestEnabled(bool on) { m_graphicsSplitTestEnabled.value(on); }
    bool transparentBackground() const { return m_transparentBackground.value(); }
    void transparentBackground(bool on) { m_transparentBackground.value(on); }
    /// Back faces drawn like front faces rather than in the back-face colour; also handed to
    /// the traversal state.
    bool normalDoubleSideDisplay() const { return m_normalDoubleSideDisplay.value(); }
    void normalDoubleSideDisplay(bool on) { m_normalDoubleSideDisplay.value(on); }

    /// Not persisted: consolidate nodes as aggressively as possible.
    bool supremeAggressiveConsolidation() const {
        return m_supremeAggressiveConsolidation.load(std::memory_order_relaxed);
    }
    void supremeAggressiveConsolidation(bool on) {
        m_supremeAggressiveConsolidation.store(on, std::memory_order_relaxed);
    }

    /// Not persisted: the interface name of the device actually in use, recorded by whoever
    /// makes the device; empty until then.
    std::wstring workingDriver() const;
    void workingDriver(const std::wstring& name);

protected:
    /// PathInfo::optionsDirectory joined with serverOptionFileName() and ".xml".
    std::filesystem::path onPersistFile() const override;
    /// Hands the pixel-scale factor and the double-sided display to the traversal state.
    void postLoad() override;

private:
    GraphicsOptionGroup();
    void createOptions();

    Brio::Option<std::wstring> m_driver;
    Brio::Option<double> m_minFPS;
    Brio::Option<SelectionEffectOptions> m_selectionEffectOption;
    Brio::Option<SelectionEffectOptions> m_degradedSelectionEffectOption;
    Brio::Option<bool> m_MSAA;
    Brio::Option<bool> m_optimizedRendering;
    Brio::Option<bool> m_levelOfDetail;
    Brio::Option<bool> m_cachingRenderingResult;
    Brio::Option<bool> m_FXAA;
    Brio::Option<bool> m_groundShadowEnabled;
    Brio::Option<bool> m_groundReflectionEnabled;
    Brio::Option<bool> m_ambientOccludedEnabled;
    Brio::Option<std::wstring> m_environmentID;
    Brio::Option<int> m_NPREffect;
    Brio::Option<int> m_visualStyle;
    Brio::Option<int> m_cameraProjection;
    Brio::Option<bool> m_cameraPerspWithOrthoFaces;
    Brio::Option<bool> m_legacyFacetingAPI;
    Brio::Option<bool> m_MaterialColorCycling;
    Brio::Option<float> m_pixelScaleFactor;
    Brio::Option<bool> m_displaySilhouette;
    Brio::Option<int> m_objectShadowType;
    Brio::Option<int> m_objectShadowFit;
    Brio::Option<int> m_deviceType;
    Brio::Option<bool> m_displayDome;
    Brio::Option<bool> m_displayGroundPlane;
    Brio::Option<bool> m_selectClosestItemOnly;
    Brio::Option<bool> m_showLayoutGrid;
    Brio::Option<bool> m_showGridRefNumbers;
    Brio::Option<bool> m_graphicsSplitTestEnabled;
    Brio::Option<bool> m_transparentBackground;
    Brio::Option<bool> m_normalDoubleSideDisplay;

    std::atomic<bool> m_supremeAggressiveConsolidation{false};
    mutable std::mutex m_workingDriverMutex;
    std::wstring m_workingDriver;
};

} // namespace Brio::Scene
