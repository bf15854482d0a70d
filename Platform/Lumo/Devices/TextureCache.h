#pragma once
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mutex.h>
#include <cstdint>

#include <unordered_map>

namespace Lumo::Objects {
class UString;
}

namespace Lumo::Devices {

class TextureInstance;

/// A device's textures by interned file path: each file is read once and the texture
/// shared after. A file that cannot be read is remembered as such, so a missing texture
/// costs one attempt, not one per frame; Remove forgets it so the next request tries again.
class TextureCache {
public:
    TextureCache();
    ~TextureCache();
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    /// The texture of the file, or null when it is missing or not an image we read. The
    /// cache keeps it; no reference is added for the caller.
    TextureInstance* Acquire(Lumo::Objects::UString* path);
    /// Files a texture made in memory under a key (a generated ramp, say); false when the
    /// key is taken.
    bool Add(Lumo::Objects::UString* key, TextureInstance* texture);
    /// Forgets a key (texture or failure); answers whether there was one.
    bool Remove(Lumo::Objects::UString* key);
    /// Textures held (failures not counted).
    int Count() const;
    /// Bounds what the cache keeps, in kilobytes of texels (4 bytes each): over the limit,
    /// textures nobody else holds are let go (they load again when asked for). 0: no bound.
    void Limit(std::uint64_t kilobytes);
    std::uint64_t Limit() const;
    /// Kilobytes of the textures held.
    std::uint64_t SizeKB() const;
    void Clear();

private:
    mutable Lumo::Objects::Threads::Mutex m_mutex;
    std::uint64_t m_limitKB = 0;
    // A null entry records a failed read.
    std::unordered_map<Lumo::Objects::UString*, Lumo::Objects::AutoPtr<TextureInstance>> m_textures;
};

} // namespace Lumo::Devices
