#include <Scene/View/GraphicsOptionGroup.h>

#include <Scene/Attributes/TraversalState.h>

#include <Brio/Base/BootstrapOptionGroup.h>
#include <Brio/Base/PathInfo.h>
#include <Brio/Base/StringConversion.h>

namespace Brio::Scene {

namespace {
using Brio::OptionBase;

Brio::LocalizedString Text(const wchar_t* key, const wchar_t* english) {
    return Brio::LocalizedString{L"BrioScene", key, english};
}

constexpr unsigned kAdvanced = OptionBase::eAdvanced;
constexpr unsigned kDeveloper = OptionBase::eDeveloper;
} // namespace

GraphicsOptionGroup::GraphicsOptionGroup()
    : OptionGroup("GraphicsOptionGroup", Text(L"GraphicsOptionsUserName", L"Graphics"),
                  Text(L"GraphicsOptionsToolTip", L"Preferences used to control the graphics display")),
      m_driver("driverOptionId", Text(L"driverUserName", L"Graphics driver"),
               Text(L"driverToolTip", L"The driver used to display the graphics"), *Brio::BootstrapOptionGroup::get(),
               L"VirtualDeviceDx11", OptionBase::eRequiresRestart),
      m_minFPS("minFPSId", Text(L"minFPSUserName", L"Minimum FPS"),
               Text(L"minFPSToolTip",
                    L"The frame rate below which graphics effects start degrading to preserve performance"),
               *this, 14.0),
      m_selectionEffectOption(
          "selectionEffectOptionId", Text(L"selectionEffectOptionUserName", L"Selection display style"),
          Text(L"selectionEffectOptionToolTip", L"Controls how selections and highlights are displayed"), *this,
          eSelectionEffectNormal),
      m_degradedSelectionEffectOption(
          "degradedSelectionEffectOptionId",
          Text(L"degradedSelectionEffectOptionUserName", L"Degraded selection display style"),
          Text(L"degradedSelectionEffectOptionToolTip",
               L"When below the minimum FPS, controls how selections and highlights are displayed"),
          *this, eSelectionEffectNormal),
      m_MSAA("MSAAOptionId", Text(L"MSAAUserName", L"Use anti aliasing"),
             Text(L"MSAAToolTip", L"Switches on or off anti aliasing"), *this, true, kAdvanced),
      m_optimizedRendering(
          "OptimizedRenderingOptionId", Text(L"OptimizedRenderingUserName", L"Optimized Rendering"),
          Text(L"OptimizedRenderingToolTip", L"Specify which fragments in the scene to render to improve performance"),
          *this, true, kDeveloper),
      m_levelOfDetail("LevelOfDetailId", Text(L"LevelOfDetailUserName", L"Level Of Detail"),
                      Text(L"LevelOfDetailToolTip", L"Enable Level Of Detail to improve the display quality"), *this,
                      true),
      m_cachingRenderingResult("CachingRenderingResultOptionId",
                               Text(L"CachingRenderingResultUserName", L"CachingRenderingResult"),
                               Text(L"CachingRenderingResultToolTip",
                                    L"Render the scene in seperate fragments; some graphics cards dont support this"),
                               *this, true, kDeveloper),
      m_FXAA("FXAAOptionId", Text(L"FXAAUserName", L"FXAA"),
             Text(L"FXAAToolTip", L"Switches on or off fast approximation anti aliasing"), *this, true, kDeveloper),
      m_groundShadowEnabled("GroundShadowEnabledId", Text(L"GroundShadowEnabledUserName", L"Ground Shadows"),
                            Text(L"GroundShadowEnabledToolTip", L"Shows shadows of the model on the ground"), *this,
                            true, kAdvanced),
      m_groundReflectionEnabled(
          "GroundReflectionEnabledId", Text(L"GroundReflectionEnabledUserName", L"Ground Reflections"),
          Text(L"GroundReflectionEnabledToolTip", L"Shows reflections of the model on the ground"), *this, false,
          kAdvanced),
      m_ambientOccludedEnabled(
          "AmbientOccludedEnabledId", Text(L"AmbientOccludedEnabledUserName", L"Ambient Occlusion"),
          Text(L"AmbientOccludedEnabledToolTip", L"Ambient Occlusion shows less light on recessed parts of the model"),
          *this, false, kAdvanced),
      m_environmentID("EnvironmentIDId", Text(L"EnvironmentIDUserName", L"Environment"),
                      Text(L"EnvironmentIDToolTip", L"Lighting, background and various color settings"), *this,
                      L"SkyRoom", kAdvanced),
      m_NPREffect("NPREffectId", Text(L"NPREffectUserName", L"NPR Effect"),
                  Text(L"NPREffectToolTip",
                       L"NPR Effects show the model non realistically - for example like a charcoal drawing"),
                  *this, 0, kAdvanced),
      m_visualStyle("VisualStyleId", Text(L"VisualStyleUserName", L"Visual Style"),
                    Text(L"VisualStyleToolTip", L"The Visual Style used to display the model - e.g. wireframe"), *this,
                    2, kAdvanced),
      m_cameraProjection("CameraProjectionId", Text(L"CameraProjectionUserName", L"CameraProjection"),
                         Text(L"CameraProjectionToolTip", L"CameraProjection"), *this, 2, kAdvanced),
      m_cameraPerspWithOrthoFaces(
          "CameraProjectionPerspetiveWithOrthoFacesId",
          Text(L"CameraProjectionPerspetiveWithOrthoFacesUserName", L"Camera Projection Perspetive With Ortho Faces"),
          Text(L"CameraProjectionPerspetiveWithOrthoFacesTooltip", L"Camera Projection Perspetive With Ortho Faces"),
          *this, false, kAdvanced),
      m_legacyFacetingAPI("LegacyFacetingAPIId", Text(L"LegacyFacetingAPIUserName", L"Using legacy faceting code"),
                          Text(L"LegacyFacetingAPIToolTip", L"Using legacy faceting code"), *this, false, kDeveloper),
      m_MaterialColorCycling("ColorCyclingId", Text(L"ColorCyclingUserName", L"Color Cycling"),
                             Text(L"ColorCyclingToolTip", L"Using color cycling capability for default material"),
                             *this, false, kAdvanced),
      m_pixelScaleFactor("PixelScaleFactorId", Text(L"PixelScaleFactorUserName", L"Pixel-scale Factor"),
                         Text(L"PixelScaleFactorToolTip", L"Scale factor applied to all pixel-scaled objects"), *this,
                         1.0f, kAdvanced),
      m_displaySilhouette("SilhouetteId", Text(L"SilhouetteUserName", L"Display Silhouette"),
                          Text(L"SilhouetteToolTip", L"Whether or not display the silhouette"), *this, true, kAdvanced),
      m_objectShadowType("ObjectShadowTypeId", Text(L"ObjectShadowTypeUserName", L"Object Shadow Type"),
                         Text(L"ObjectShadowTypeToolTip", L"Specify Object Shadow Type"), *this, 0, kAdvanced),
      m_objectShadowFit("ObjectShadowFitId", Text(L"ObjectShadowFitUserName", L"Object Shadow Fit"),
                        Text(L"ObjectShadowFitToolTip", L"Specify Object Shadow Fit"), *this, 0, kAdvanced),
      m_deviceType("DeviceTypeId", Text(L"DeviceTypeUserName", L"Device Type"),
                   Text(L"DeviceTypeToolTip", L"Specify Device Type"), *this, 1, kAdvanced),
      m_displayDome("DisDomeId", Text(L"DisDomeUserName", L"Display Dome"),
                    Text(L"DisDomeToolTip", L"Whether or not display the Dome"), *this, true, kAdvanced),
      m_displayGroundPlane("DisGroundPlaneId", Text(L"DisGroundPlaneUserName", L"Display GroundPlane"),
                           Text(L"DisGroundPlaneToolTip", L"Whether or not display the GroundPlane"), *this, true,
                           kAdvanced),
      m_selectClosestItemOnly(
          "SelectClosestItemOnlyId", Text(L"SelectClosestItemOnlyUserName", L"Selection hint"),
          Text(L"SelectClosestItemOnlyToolTip", L"return the closest item only or return all Intersection items"),
          *this, false, kDeveloper),
      m_showLayoutGrid("ShowLayoutGridId", Text(L"ShowLayoutGridUserName", L"Show Layout Grid"),
                       Text(L"ShowLayoutGridToolTip", L"show layout grid"), *this, false, kAdvanced),
      m_showGridRefNumbers("ShowGridRefNumbersId", Text(L"ShowGridRefNumbersUserName", L"Show Grid Reference Numbers"),
                           Text(L"ShowGridRefNumbersToolTip", L"Show grid reference numbers"), *this, true, kAdvanced),
      m_graphicsSplitTestEnabled(
          "GraphicsSplitTestEnabledId", Text(L"GraphicsSplitTestEnabledUserName", L"Graphics server/client split test"),
          Text(L"GraphicsSplitTestEnabledToolTip", L"Whether or not graphics server/client split test is enabled."),
          *this, false, kDeveloper),
      m_transparentBackground(
          "TransparentBackgroundId", Text(L"TransparentBackgroundUserName", L"Transparent Background"),
          Text(L"TransparentBackgroundToolTip", L"Enable transparent background when saved into an image."), *this,
          true, kDeveloper),
      m_normalDoubleSideDisplay(
          "NormalDoubleSideDisplayId", Text(L"NormalDoubleSideDisplayUserName", L"Normal DoubleSide Display"),
          Text(L"NormalDoubleSideDisplayToolTip", L"Enable Normal DoubleSide Display."), *this, false, kDeveloper) {}

void GraphicsOptionGroup::createOptions() {
    m_driver.addChoice(L"VirtualDeviceDx11", Text(L"DirectX11Name", L"DirectX 11"));
    m_driver.addChoice(L"VirtualDeviceDx9", Text(L"DirectX9Name", L"DirectX 9"));
    m_driver.addChoice(L"VirtualDeviceGL", Text(L"OpenGLName", L"OpenGL"));
    m_selectionEffectOption.addChoice(eSelectionEffectNormal, Text(L"NormalSelectionEffectNormal", L"Normal"));
    m_selectionEffectOption.addChoice(eSelectionEffectNone, Text(L"NoSelectionEffectSimple", L"Simple"));
    m_degradedSelectionEffectOption.addChoice(
        eSelectionEffectNormal, Text(L"NormalSelectionEffectNormalWithGlow", L"Normal display (with glow and halo)"));
    m_degradedSelectionEffectOption.addChoice(
        eSelectionEffectNone, Text(L"NoSelectionEffectSimpleWithGlow", L"Simple display (without glow or halo)"));

    // Values that the traversal state keeps for the walk follow every change, whoever makes it.
    m_pixelScaleFactor.addListener(
        [this](Brio::OptionBase&) { Lumo::Scene::TraversalState::GlobalPixelScaleFactor(m_pixelScaleFactor.value()); });
    m_normalDoubleSideDisplay.addListener([this](Brio::OptionBase&) {
        Lumo::Scene::TraversalState::NormalDoubleSideDisplay(m_normalDoubleSideDisplay.value());
    });
}

GraphicsOptionGroup* GraphicsOptionGroup::get() {
    static GraphicsOptionGroup group;
    static const bool ready = [] {
        group.createOptions();
        group.load();
        return true;
    }();
    (void)ready;
    return &group;
}

void GraphicsOptionGroup::pixelScaleFactor(float factor) {
    m_pixelScaleFactor.value(factor);
    Lumo::Scene::TraversalState::GlobalPixelScaleFactor(factor);
}

std::wstring GraphicsOptionGroup::workingDriver() const {
    std::lock_guard lock(m_workingDriverMutex);
    return m_workingDriver;
}

void GraphicsOptionGroup::workingDriver(const std::wstring& name) {
    std::lock_guard lock(m_workingDriverMutex);
    m_workingDriver = name;
}

std::filesystem::path GraphicsOptionGroup::onPersistFile() const {
    return Brio::PathInfo::optionsDirectory(0) / (Brio::Utility::toUtf8(serverOptionFileName()) + ".xml");
}

void GraphicsOptionGroup::postLoad() {
    Lumo::Scene::TraversalState::GlobalPixelScaleFactor(m_pixelScaleFactor.value());
    Lumo::Scene::TraversalState::NormalDoubleSideDisplay(m_normalDoubleSideDisplay.value());
}

} // namespace Brio::Scene
