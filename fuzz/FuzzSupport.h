#pragma once
// Shared by the fuzz targets: the readers take paths, as users hand them files, so each input
// is written to a file in a scratch folder of the process's own first. The folder also holds
// the options directory, so that no target reads or writes the user's preferences.
#include <Brio/Base/PathInfo.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

namespace Fuzz {

inline const std::filesystem::path& ScratchDirectory() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path p = std::filesystem::temp_directory_path() / ("brio-fuzz-" + std::to_string(::getpid()));
        std::error_code ec;
        std::filesystem::remove_all(p, ec);
        std::filesystem::create_directories(p / "options", ec);
        Brio::PathInfo::optionsDirectory(p / "options");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchDirectory(), ignored);
        });
        return p;
    }();
    return folder;
}

/// Writes the input to relative (below the scratch folder, folders made) and answers its path.
inline std::filesystem::path WriteInput(const std::filesystem::path& relative, const std::uint8_t* data,
                                        std::size_t size) {
    const std::filesystem::path file = ScratchDirectory() / relative;
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return file;
}

/// A reader broke its own promise (say, failed without saying why): a finding like a crash.
inline void Check(bool ok, std::string_view what) {
    if (ok)
        return;
    std::fprintf(stderr, "fuzz check failed: %.*s\n", int(what.size()), what.data());
    std::abort();
}

} // namespace Fuzz
