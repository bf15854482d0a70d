#include <Host/Import/ExportFilesInternal.h>

#include <Brio/Base/AtomicFile.h>
#include <Brio/Base/StringConversion.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Host {

namespace fs = std::filesystem;

std::string ColourName(const Rgba& c) {
    char name[8];
    const auto byte = [](float v) { return unsigned(std::lround(std::clamp(v, 0.f, 1.f) * 255.f)); };
    std::snprintf(name, sizeof name, "#%02X%02X%02X", byte(c.r), byte(c.g), byte(c.b));
    return name;
}

bool WriteWhole(const fs::path& path, std::string_view bytes, std::string& error) {
    const Brio::Status status = Brio::AtomicFile::write(path, bytes);
    if (status.isSuccess())
        return true;
    error = "cannot write '" + path.string() + "': " + Brio::Utility::toUtf8(status.message());
    return false;
}

bool WritePair(const fs::path& main, std::string_view mainBytes, const fs::path& companion,
               std::string_view companionBytes, std::string& error) {
    const fs::path kept = companion.parent_path() / ("." + companion.filename().string() + ".old");
    std::error_code ec;
    const bool old = fs::is_regular_file(companion, ec);
    if (old) {
        fs::remove(kept, ec);
        fs::create_hard_link(companion, kept, ec);
        if (ec) { // a file system without links
            ec.clear();
            fs::copy_file(companion, kept, ec);
        }
        if (ec) {
            error = "cannot write '" + main.string() + "': cannot keep the old '" + companion.string() +
                    "' while writing: " + ec.message();
            return false;
        }
    }
    if (!WriteWhole(companion, companionBytes, error)) {
        if (old)
            fs::remove(kept, ec);
        return false;
    }
    if (!WriteWhole(main, mainBytes, error)) {
        if (old)
            fs::rename(kept, companion, ec);
        else
            fs::remove(companion, ec);
        return false;
    }
    if (old)
        fs::remove(kept, ec);
    return true;
}

} // namespace Host
