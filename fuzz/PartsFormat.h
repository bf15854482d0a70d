#pragma once
// The text form the document-parts target reads and the seed generator writes: the files of a
// document archive one after the other, each starting with a line "@@<name>". Mutating this
// form reaches the segment and model readers; mutating the zip bytes mostly stops at its
// checksums.
#include <Brio/DataModel/ZipArchive.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace Fuzz {

inline constexpr std::string_view kPartMark = "@@";

inline Brio::ZipArchive::Parts ReadParts(std::string_view text) {
    Brio::ZipArchive::Parts parts;
    if (text.substr(0, kPartMark.size()) != kPartMark)
        return parts;
    std::size_t pos = kPartMark.size();
    while (pos <= text.size()) {
        const std::size_t nameEnd = text.find('\n', pos);
        if (nameEnd == std::string_view::npos)
            break;
        const std::string name(text.substr(pos, nameEnd - pos));
        const std::size_t next = text.find(std::string("\n").append(kPartMark), nameEnd + 1);
        const std::size_t end = next == std::string_view::npos ? text.size() : next;
        const std::string_view body = text.substr(nameEnd + 1, end - nameEnd - 1);
        parts[name].assign(body.begin(), body.end());
        if (next == std::string_view::npos)
            break;
        pos = next + 1 + kPartMark.size();
    }
    return parts;
}

inline std::string WriteParts(const Brio::ZipArchive::Parts& parts) {
    std::string text;
    for (const auto& [name, bytes] : parts) {
        if (!text.empty())
            text += '\n';
        text.append(kPartMark).append(name).append("\n").append(bytes.begin(), bytes.end());
    }
    return text;
}

} // namespace Fuzz
