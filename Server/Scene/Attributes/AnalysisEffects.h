#pragma once

namespace Lumo::Objects {
class UString;
}
namespace Lumo::Devices {
class AVirtualDevice;
class IRenderEffect;
} // namespace Lumo::Devices

namespace Lumo::Scene {

/// The surface-analysis effects (zebra stripes, draft angle, curvature map): their names,
/// parameter indices, and the factories that teach them to every device's effect cache.
class AnalysisEffects {
public:
    static Lumo::Objects::UString* ZebraName();     ///< "TavexZebraEffect"
    static Lumo::Objects::UString* DraftName();     ///< "TavexDraftEffect"
    static Lumo::Objects::UString* CurvatureName(); ///< "TavexCurvatureEffect"

    enum EZebraParameter : int {
        eZebraStripeDirection = 0, ///< float: 0 horizontal, 0.5 diagonal, 1 vertical
        eZebraStripeDensity = 1,
        eZebraStripeColor0 = 2,
        eZebraStripeColor1 = 3,
        eZebraStripeLocked = 4,
        eZebraEmissive = 5,
        eZebraAmbient = 6,
        eZebraDiffuse = 7,
        eZebraSpecular = 8,
        eZebraGlossiness = 9,
        eZebraOpacity = 10,
        eZebraTexture = 11,
    };
    enum EDraftParameter : int {
        eDraftPullDirection = 0,
        eDraftAnglePositive = 1,
        eDraftAngleNegative = 2,
        eDraftTolerancePositive = 3,
        eDraftToleranceNegative = 4,
        eDraftEmissive = 5,
        eDraftAmbient = 6,
        eDraftDiffuse = 7,
        eDraftSpecular = 8,
        eDraftGlossiness = 9,
        eDraftOpacity = 10,
        eDraftTexture = 11,
    };
    enum ECurvatureParameter : int {
        eCurvatureMapType = 0,
        eCurvatureEmissive = 1,
        eCurvatureAmbient = 2,
        eCurvatureDiffuse = 3,
        eCurvatureSpecular = 4,
        eCurvatureGlossiness = 5,
        eCurvatureOpacity = 6,
        eCurvatureGaussianFactor = 7,
        eCurvatureTextureTransform = 8,
        eCurvatureDiffuseTexture = 9,
    };

    /// The device's effect of that name. Our tables are registered only for names no one
    /// has taught the devices yet, so a fuller implementation registered elsewhere wins.
    static Lumo::Devices::IRenderEffect* Acquire(Lumo::Devices::AVirtualDevice* device, Lumo::Objects::UString* name);
    /// A new effect of one of the three names with its parameter table; null for others.
    static Lumo::Devices::IRenderEffect* Make(Lumo::Objects::UString* name);
    /// Takes our factories back from the devices (the add-in's stop: they are this
    /// library's code). Effects made already stay with their devices.
    static void UnregisterFactories();
};

} // namespace Lumo::Scene
