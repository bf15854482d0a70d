#pragma once

namespace Lumo::Objects {
class UString;
}

namespace Lumo::Devices {

class IRenderEffect;

/// The stock effects every device offers: their interned names, parameter indices and
/// makers. Indices are fixed so that instances set values without a name lookup; the
/// programs read the same parameters by name ("Color", "Opacity", ...).
class StockEffects {
public:
    static Lumo::Objects::UString* SolidName();         ///< "Stock_Solid"
    static Lumo::Objects::UString* SolidTName();        ///< "Stock_SolidT"
    static Lumo::Objects::UString* BasicMaterialName(); ///< "Stock_BasicMaterial"
    static Lumo::Objects::UString* LayeredName();       ///< "Stock_Layered"

    /// Stock_Solid parameters; Stock_SolidT has the same first five, then the texture ones.
    enum ESolidParameter : int {
        eSolidColor = 0,            ///< float4 rgba, default white
        eSolidOpacity = 1,          ///< float, multiplies the alpha, default 1
        eSolidColorSource = 2,      ///< int EColorSource, default uniform
        eSolidVertexColorAlpha = 3, ///< bool: per-vertex colours carry alpha, default off
        eSolidLighting = 4,         ///< bool: lit or flat, default on
        eSolidTexture = 5,          ///< texture
        eSolidTextureAlpha = 6,     ///< bool: the texture's alpha counts, default off
        eSolidBlendMode = 7,        ///< int ETextureBlend, default modulate
        eSolidTextureTransform = 8, ///< matrix applied to texture coordinates, default identity
    };
    /// Stock_BasicMaterial parameters (defaults those of a basic colour material).
    enum EMaterialParameter : int {
        eMaterialEmissive = 0,        ///< float3, default 0
        eMaterialAmbient = 1,         ///< float3, default 0.2
        eMaterialDiffuse = 2,         ///< float3, default 0.8
        eMaterialSpecular = 3,        ///< float3, default 1
        eMaterialShininess = 4,       ///< float, default 20
        eMaterialOpacity = 5,         ///< float, default 1
        eMaterialColorSource = 6,     ///< int EColorSource of the diffuse colour, default uniform
        eMaterialReflectionBlend = 7, ///< float, default 0
    };
    /// Where a solid or material colour comes from.
    enum EColorSource : int {
        eColorUniform = 0,
        eColorTexture = 1,
        eColorVertex = 2,
    };
    /// How a texture combines with the uniform colour.
    enum ETextureBlend : int {
        eTextureModulate = 0,
        eTextureReplace = 1,
        eTextureDecal = 2,
        eTextureAdd = 3,
    };

    /// A new effect of that stock name, or null for any other name.
    static IRenderEffect* Make(Lumo::Objects::UString* name);
    /// True when effect's table begins with the named stock effect's table (same names and
    /// types at the same indices), so that the stock indices are valid on it.
    static bool Extends(const IRenderEffect* effect, Lumo::Objects::UString* stockName);
};

} // namespace Lumo::Devices
