#pragma once
#include <Brio/Base/Status.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Brio {

/// A whole zip archive as named byte parts, read and written in one go.
class ZipArchive {
public:
    using Parts = std::map<std::string, std::vector<std::uint8_t>>;

    /// Writes the parts in name order with fixed times and attributes, so that equal parts give
    /// equal bytes. The file at `path` is replaced only once the archive is complete. Fails for
    /// an empty set of parts. Errors carry Asset::eFileError.
    static Status write(const std::string& path, const Parts& parts);
    /// Reads every file of the archive, checking each against its checksum; `parts` is only
    /// changed on success. Errors carry Asset::eFileError when the file cannot be opened and
    /// Asset::eCorruptDocument when it is not a sound zip archive.
    static Status read(const std::string& path, Parts& parts);
};

} // namespace Brio
