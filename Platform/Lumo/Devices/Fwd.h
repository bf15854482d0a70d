#pragma once
/// Forward declarations of the device library.
namespace Lumo::Devices {
class ABackendData;
class ADeviceResource;
class AVirtualDevice;
class VirtualDevice;
class DeviceCaches;
class EffectCache;
class TextureCache;
class FormatCache;
class IRenderEffect;
class StockEffects;
class ParameterValues;
class EffectInstance;
class SolidEffectInstance;
class BasicMaterialEffectInstance;
class LayeredEffectInstance;
class ARasterizerState;
class ABlendState;
class ADepthStencilState;
class StateSetter;
class TextureInstance;
class TextureLoader;
class PngWriter;
class ADrawContext;
class VertexFormat;
class IRenderGeom;
class AFragment;
class FragmentGraph;
class SimpleMesh;
class VertexBufferBuilder;
class IndexBufferBuilder;
class RenderItem;
struct SLockedLevel;
struct SRenderTargetBlend;
} // namespace Lumo::Devices
