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

    /// Limits on what is read (and written, so that what is saved can be opened again): a
    /// document declaring more is refused before any of it is allocated, however small the
    /// file (sizes are the declared uncompressed ones).
    static constexpr std::uint64_t kMaxPartBytes = std::uint64_t(2) << 30;
    static constexpr std::uint64_t kMaxTotalBytes = std::uint64_t(4) << 30;
    static constexpr std::uint64_t kMaxParts = 65536;

    /// Writes the parts in name order with fixed times and attributes, so that equal parts give
    /// equal bytes. The archive is made in memory and replaces the file at `path` through
    /// AtomicFile, so a failure leaves the old file whole. Fails for an empty set of parts and
    /// for parts beyond the limits. Errors carry Asset::eFileError.
    static Status write(const std::string& path, const Parts& parts);
    /// Reads every file of the archive, checking each against its checksum; `parts` is only
    /// changed on success. Errors carry Asset::eFileError when the file cannot be opened and
    /// Asset::eCorruptDocument when it is not a sound zip archive or exceeds the limits.
    static Status read(const std::string& path, Parts& parts);
};

} // namespace Brio
