#pragma once

namespace Lumo::Objects {
class UString;
}

namespace Lumo::Devices {

class AFragment;
class AVirtualDevice;

/// Makers of the fragments a device's lighting scheme is built from. The environment
/// fragments ("AmbientEnv", "GlossyEnv", "SharpEnv") share one signature: inputs "cube"
/// (texture), "gain" (float, 1) and "transform" (matrix, identity); output "radiance" (float3).
class GraphicScheme {
public:
    static Lumo::Objects::UString* AmbientEnvironmentName(); ///< "AmbientEnv"
    static Lumo::Objects::UString* GlossyEnvironmentName();  ///< "GlossyEnv"
    static Lumo::Objects::UString* SharpEnvironmentName();   ///< "SharpEnv"
    static Lumo::Objects::UString* CubeParameter();          ///< "cube"
    static Lumo::Objects::UString* GainParameter();          ///< "gain"
    static Lumo::Objects::UString* TransformParameter();     ///< "transform"
    static Lumo::Objects::UString* RadianceOutput();         ///< "radiance"

    /// New fragments (the caller takes the first reference); the device may be null, as the
    /// fragments are data until a backend compiles them.
    static AFragment* CreateAmbientEnvironment(AVirtualDevice* device);
    static AFragment* CreateGlossyEnvironment(AVirtualDevice* device);
    static AFragment* CreateSharpEnvironment(AVirtualDevice* device);
};

} // namespace Lumo::Devices
