#pragma once
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Objects/Vec.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace Lumo::Devices {

class ADrawContext;

/// A high-dynamic-range environment map for image-based lighting: linear RGBA floats, rows top
/// first, laid out as a latitude-longitude map or as the six faces of a cube stacked
/// vertically (+X, -X, +Y, -Y, +Z, -Z), in OpenEXR's conventions (y is up). The 8-bit base
/// level it inherits holds the same picture RGBM-encoded (colour / (alpha * kRgbmRange)) for
/// backends that only take 8-bit textures.
class EnvironmentTexture : public TextureInstance {
    LUMO_DECLARE_CLASS()
public:
    enum ELayout : int {
        eLatLong = 0,
        eCube = 1,
    };
    /// The largest radiance the 8-bit base level keeps.
    static constexpr float kRgbmRange = 8.0f;
    /// Texels accepted from a file, so that a forged header cannot ask for gigabytes.
    static constexpr long long kMaxTexels = 1LL << 24;

    /// A map of width x height texels of four floats each (rows top first). Null for a size out
    /// of range, data of another length, non-finite values, or a cube whose height is not six
    /// times its width.
    static EnvironmentTexture* Make(int width, int height, std::vector<float> rgba, ELayout layout = eLatLong);

    /// Reads an OpenEXR file. Channels 1 keeps luminance (grey), 3 forces alpha to 1, 4 keeps
    /// alpha. The layout follows the file's "envmap" attribute (latitude-longitude without
    /// one). Null on any failure (missing, truncated or malformed file, a size out of range,
    /// a bad channel count), with the reason in error when given.
    static EnvironmentTexture* LoadExr(const std::filesystem::path& path, int channels, std::string* error = nullptr);
    /// Writes the map as a half-float RGBA OpenEXR file with its "envmap" attribute, through a
    /// temporary file so that a failure leaves no partial file. False, with the reason in
    /// error when given, on failure.
    bool SaveExr(const std::filesystem::path& path, std::string* error = nullptr) const;

    ELayout Layout() const { return m_layout; }
    /// Four floats per texel, rows top first.
    const std::vector<float>& HdrData() const { return m_hdr; }
    /// A texel's RGBA; zero outside the map.
    Lumo::Objects::vec4<float> Texel(int x, int y) const;
    /// The radiance arriving from a direction (need not be unit length): bilinear in a
    /// latitude-longitude map, the nearest texel of the face in a cube. Zero for a zero vector.
    Lumo::Objects::vec3<float> Sample(const Lumo::Objects::vec3<float>& direction) const;
    /// The mean radiance over the sphere (texels weighted by the solid angle they cover).
    Lumo::Objects::vec3<float> Average() const;

    /// The unit direction texel (x, y) of a width x height latitude-longitude map stands for, in
    /// OpenEXR's convention: the first and last rows lie on the poles (+y up first), the first
    /// and last columns on the same meridian. What makers of such maps fill each texel from.
    static Lumo::Objects::vec3<float> LatLongDirection(int width, int height, float x, float y);

protected:
    EnvironmentTexture(int width, int height, std::vector<float> rgba, ELayout layout);

private:
    void EncodeBaseLevel();

    std::vector<float> m_hdr;
    ELayout m_layout;
};

/// Loads an environment texture for a draw context's device (see EnvironmentTexture::LoadExr);
/// the caller takes the first reference. Null when the file cannot be used.
EnvironmentTexture* LoadEnvironmentTexture(ADrawContext& dc, std::wstring_view path, int channels,
                                           std::string* error = nullptr);

} // namespace Lumo::Devices
