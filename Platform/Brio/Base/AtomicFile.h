#pragma once
#include <Brio/Base/Status.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string_view>

namespace Brio {

/// Replaces a file's contents in one step: the bytes go to a temporary file in the same folder,
/// are flushed to disk, and the temporary is renamed over the file; the folder is flushed
/// after. A full disk, a failed rename or a crash at any point leaves the old file whole.
class AtomicFile {
public:
    /// The steps of a write, in order.
    enum EStep { eCreate, eWrite, eFlush, eRename, eFlushFolder };
    /// The code of a failed write's status.
    static constexpr int eWriteFailed = 1;

    /// Writes `size` bytes as the file at `path` (through a symbolic link, beside the file it
    /// names). The file keeps its permissions; a new one gets 0666 less the umask. On failure
    /// the old file is untouched, no temporary is left and the message names the file and the
    /// cause. Once renamed, a folder that cannot be flushed gives a warning only.
    static Status write(const std::filesystem::path& path, const void* data, std::size_t size);
    static Status write(const std::filesystem::path& path, std::string_view bytes) {
        return write(path, bytes.data(), bytes.size());
    }

    /// Called before each step with the temporary's path; a non-zero errno it returns makes
    /// the step fail with that error. For tests to stand in for a full disk, a crash and the
    /// like; process-wide, and an empty function removes it.
    using FailureHook = std::function<int(EStep step, const std::filesystem::path& temporary)>;
    static void failureHook(FailureHook hook);
};

} // namespace Brio
