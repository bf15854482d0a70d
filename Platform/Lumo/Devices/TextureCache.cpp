#include <Lumo/Devices/TextureCache.h>

#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/TextureLoader.h>
#include <Lumo/Objects/UString.h>
#include <vector>

namespace Lumo::Devices {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::UString;
using Lumo::Objects::Threads::MutexLocker;

TextureCache::TextureCache() = default;
TextureCache::~TextureCache() = default;

TextureInstance* TextureCache::Acquire(UString* path) {
    if (!path)
        return nullptr;
    MutexLocker lock(m_mutex);
    auto it = m_textures.find(path);
    if (it != m_textures.end())
        return it->second;
    AutoPtr<TextureInstance> texture(TextureLoader::Load(path->Text()));
    m_textures.emplace(path, texture);
    return texture;
}

bool TextureCache::Add(UString* key, TextureInstance* texture) {
    if (!key || !texture)
        return false;
    MutexLocker lock(m_mutex);
    if (m_textures.count(key))
        return false;
    m_textures.emplace(key, AutoPtr<TextureInstance>(texture));
    return true;
}

bool TextureCache::Remove(UString* key) {
    AutoPtr<TextureInstance> old; // released outside the lock
    MutexLocker lock(m_mutex);
    auto it = m_textures.find(key);
    if (it == m_textures.end())
        return false;
    old = std::move(it->second);
    m_textures.erase(it);
    return true;
}

int TextureCache::Count() const {
    MutexLocker lock(m_mutex);
    int n = 0;
    for (const auto& entry : m_textures)
        n += entry.second ? 1 : 0;
    return n;
}

void TextureCache::Clear() {
    decltype(m_textures) old;
    MutexLocker lock(m_mutex);
    old.swap(m_textures);
}

namespace {
std::uint64_t TextureKB(const TextureInstance* t) {
    return t ? (std::uint64_t(t->Width()) * std::uint64_t(t->Height()) * 4 + 1023) / 1024 : 0;
}
} // namespace

std::uint64_t TextureCache::SizeKB() const {
    MutexLocker lock(m_mutex);
    std::uint64_t total = 0;
    for (const auto& [key, texture] : m_textures)
        total += TextureKB(texture);
    return total;
}

std::uint64_t TextureCache::Limit() const {
    MutexLocker lock(m_mutex);
    return m_limitKB;
}

void TextureCache::Limit(std::uint64_t kilobytes) {
    std::vector<AutoPtr<TextureInstance>> dropped; // released outside the lock
    MutexLocker lock(m_mutex);
    m_limitKB = kilobytes;
    if (!kilobytes)
        return;
    std::uint64_t total = 0;
    for (const auto& [key, texture] : m_textures)
        total += TextureKB(texture);
    for (auto it = m_textures.begin(); it != m_textures.end() && total > kilobytes;) {
        if (it->second && it->second->RefCount() == 1) {
            total -= TextureKB(it->second);
            dropped.push_back(std::move(it->second));
            it = m_textures.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace Lumo::Devices
