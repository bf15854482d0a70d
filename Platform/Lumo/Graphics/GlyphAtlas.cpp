#include <Lumo/Graphics/GlyphAtlas.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Lumo::Text {

namespace {
int NextPowerOfTwo(int v) {
    int p = 1;
    while (p < v)
        p <<= 1;
    return p;
}
} // namespace

LUMO_DEFINE_CLASS(GlyphAtlas, ARefCounted)

GlyphAtlas* GlyphAtlas::Make(EAtlasFormat format, int padding) {
    return new GlyphAtlas(format, padding);
}

bool GlyphAtlas::Add(std::uint32_t key, int width, int height, const std::uint8_t* coverage) {
    if (m_entries.count(key))
        return true;
    if (width <= 0 || height <= 0 || !coverage)
        return false;
    Entry e;
    e.width = width;
    e.height = height;
    e.coverage.assign(coverage, coverage + static_cast<std::size_t>(width) * height);
    m_entries.emplace(key, std::move(e));
    m_packed = false;
    return true;
}

void GlyphAtlas::Pack() {
    m_packed = true;
    m_width = m_height = 0;
    m_pixels.clear();
    if (m_entries.empty())
        return;

    std::vector<Entry*> order;
    long long area = 0;
    int widest = 0;
    for (auto& [key, e] : m_entries) {
        order.push_back(&e);
        area += static_cast<long long>(e.width + m_padding) * (e.height + m_padding);
        widest = std::max(widest, e.width);
    }
    std::stable_sort(order.begin(), order.end(), [](const Entry* a, const Entry* b) {
        return a->height != b->height ? a->height > b->height : a->width > b->width;
    });
    // Roughly square: shelves waste some space, hence the extra quarter.
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(area) * 1.25)));
    const int width = NextPowerOfTwo(std::max(side, widest + 2 * m_padding));

    int x = m_padding, y = m_padding, shelf = 0;
    for (Entry* e : order) {
        if (x + e->width + m_padding > width) {
            x = m_padding;
            y += shelf + m_padding;
            shelf = 0;
        }
        e->rect.x = x;
        e->rect.y = y;
        e->rect.width = e->width;
        e->rect.height = e->height;
        x += e->width + m_padding;
        shelf = std::max(shelf, e->height);
    }
    m_width = width;
    m_height = NextPowerOfTwo(y + shelf + m_padding);

    const int bpp = BytesPerPixel();
    m_pixels.assign(static_cast<std::size_t>(m_width) * m_height * bpp, 0);
    for (Entry* e : order) {
        AtlasRect& r = e->rect;
        r.uvMin = {static_cast<float>(r.x) / m_width, static_cast<float>(r.y) / m_height};
        r.uvMax = {static_cast<float>(r.x + r.width) / m_width, static_cast<float>(r.y + r.height) / m_height};
        for (int row = 0; row < r.height; ++row) {
            const std::uint8_t* src = &e->coverage[static_cast<std::size_t>(row) * e->width];
            std::uint8_t* dst = &m_pixels[(static_cast<std::size_t>(r.y + row) * m_width + r.x) * bpp];
            if (bpp == 1) {
                std::memcpy(dst, src, static_cast<std::size_t>(r.width));
            } else {
                for (int col = 0; col < r.width; ++col, dst += 4) {
                    dst[0] = dst[1] = dst[2] = 255;
                    dst[3] = src[col];
                }
            }
        }
    }
}

const AtlasRect* GlyphAtlas::Find(std::uint32_t key) const {
    if (!m_packed)
        return nullptr;
    auto it = m_entries.find(key);
    return it == m_entries.end() ? nullptr : &it->second.rect;
}

std::uint8_t GlyphAtlas::Coverage(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    const int bpp = BytesPerPixel();
    return m_pixels[(static_cast<std::size_t>(y) * m_width + x) * bpp + (bpp - 1)];
}

} // namespace Lumo::Text
