#pragma once
#include <Lumo/Devices/ADeviceResource.h>

#include <cstdint>
#include <vector>

namespace Lumo::Devices {

enum EPixelFormat : int {
    eFormatRGBA8 = 0, ///< four bytes per pixel: red, green, blue, alpha
};

enum ETextureFilter : int {
    eFilterNearest = 0,
    eFilterLinear = 1,
};

enum ETextureAddress : int {
    eAddressClamp = 0,
    eAddressRepeat = 1,
    eAddressMirror = 2,
};

/// A mapped level of a texture. Empty (null data) when the lock was refused.
struct SLockedLevel {
    std::uint8_t* data = nullptr;
    int rowPitch = 0; ///< bytes from one row to the next
    int width = 0;
    int height = 0;
    explicit operator bool() const { return data != nullptr; }
};

/// A texture as data: pixels in memory, rows top first, with its sampling settings. The
/// backend uploads it when it is first drawn and again whenever the version moves on.
class TextureInstance : public ADeviceResource {
    LUMO_DECLARE_CLASS()
public:
    /// Largest width or height accepted.
    static constexpr int kMaxSize = 16384;

    /// An RGBA8 texture; pixels are tightly packed rows (rowPitch 0) or rows rowPitch bytes
    /// apart, and copied. Null pixels give transparent black. Null for a size out of range.
    static TextureInstance* Make(int width, int height, const std::uint8_t* pixels = nullptr, int rowPitch = 0);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    EPixelFormat Format() const { return eFormatRGBA8; }
    int BytesPerPixel() const { return 4; }
    /// Levels held in memory; only the base level, the backend makes the mipmaps.
    int LevelCount() const { return 1; }

    /// Maps a level for reading or, with forWrite, for writing. Refused (empty) for a level
    /// that does not exist or while the texture is locked already.
    SLockedLevel LockLevel(int level, bool forWrite = false);
    /// Ends a lock; after a write lock the version moves on so the backend uploads again.
    void UnlockLevel(int level);
    bool IsLocked() const { return m_locked; }

    /// True when any pixel is not fully opaque.
    bool HasAlpha() const;

    ETextureFilter Filter() const { return m_filter; }
    void Filter(ETextureFilter filter) { m_filter = filter; }
    ETextureAddress AddressU() const { return m_addressU; }
    void AddressU(ETextureAddress a) { m_addressU = a; }
    ETextureAddress AddressV() const { return m_addressV; }
    void AddressV(ETextureAddress a) { m_addressV = a; }
    /// Filter and both address modes at once.
    void Sampling(ETextureFilter filter, ETextureAddress address);

    /// The file the texture was read from; null when it was made in memory.
    Lumo::Objects::UString* SourcePath() const { return m_path; }
    void SourcePath(Lumo::Objects::UString* path) { m_path = path; }

protected:
    TextureInstance(int width, int height);

private:
    int m_width;
    int m_height;
    std::vector<std::uint8_t> m_pixels;
    bool m_locked = false;
    bool m_writeLocked = false;
    ETextureFilter m_filter = eFilterLinear;
    ETextureAddress m_addressU = eAddressRepeat;
    ETextureAddress m_addressV = eAddressRepeat;
    Lumo::Objects::UString* m_path = nullptr;
};

} // namespace Lumo::Devices
