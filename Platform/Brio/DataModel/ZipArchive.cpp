#include <Brio/DataModel/ZipArchive.h>

#include <Brio/Base/AtomicFile.h>
#include <Brio/Base/StringConversion.h>
#include <Brio/DataModel/Asset.h>

#include <zip.h>

#include <memory>

namespace Brio {

namespace {

// 1980-01-01 00:00, the earliest time a zip entry can carry, as MS-DOS time and date.
constexpr zip_uint16_t kDosTime = 0;
constexpr zip_uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;
constexpr zip_uint32_t kRegularFileMode = 0100644;

std::wstring describe(const std::string& path, const char* what, const char* detail) {
    std::wstring message = Utility::toWide(what) + L" \"" + Utility::toWide(path) + L"\"";
    if (detail && *detail)
        message += L": " + Utility::toWide(detail);
    return message;
}

std::string errorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

struct Discard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct CloseFile {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
struct FreeSource {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};

std::string mib(std::uint64_t bytes) {
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MiB";
}

std::string tooLarge(const std::string& name, std::uint64_t size) {
    return "part " + name + " of " + std::to_string(size) + " bytes exceeds the limit of " +
           mib(ZipArchive::kMaxPartBytes);
}

std::string tooMuch(std::uint64_t count, std::uint64_t total) {
    if (count > ZipArchive::kMaxParts)
        return std::to_string(count) + " parts exceed the limit of " + std::to_string(ZipArchive::kMaxParts);
    return "parts of " + std::to_string(total) + " bytes in all exceed the limit of " + mib(ZipArchive::kMaxTotalBytes);
}

/// The archive's bytes, made in memory; an empty answer, else libzip's reason.
std::string buildArchive(const ZipArchive::Parts& parts, std::vector<std::uint8_t>& out) {
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, FreeSource> buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer) {
        std::string why = zip_error_strerror(&error);
        zip_error_fini(&error);
        return why;
    }
    std::unique_ptr<zip_t, Discard> archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    if (!archive) {
        std::string why = zip_error_strerror(&error);
        zip_error_fini(&error);
        return why;
    }
    zip_source_keep(buffer.get()); // the archive's close would free it; we read it after
    for (const auto& [name, bytes] : parts) {
        // The bytes stay alive until zip_close, which reads them.
        zip_source_t* source = zip_source_buffer(archive.get(), bytes.data(), bytes.size(), 0);
        if (!source)
            return zip_strerror(archive.get());
        const zip_int64_t index = zip_file_add(archive.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return zip_strerror(archive.get());
        }
        const auto i = static_cast<zip_uint64_t>(index);
        if (zip_set_file_compression(archive.get(), i, ZIP_CM_DEFLATE, 6) < 0 ||
            zip_file_set_dostime(archive.get(), i, kDosTime, kDosDate, 0) < 0 ||
            zip_file_set_external_attributes(archive.get(), i, 0, ZIP_OPSYS_UNIX, kRegularFileMode << 16) < 0)
            return zip_strerror(archive.get());
    }
    if (zip_close(archive.get()) < 0)
        return zip_strerror(archive.get());
    archive.release();

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer.get(), &stat) < 0 || !(stat.valid & ZIP_STAT_SIZE) || zip_source_open(buffer.get()) < 0)
        return zip_error_strerror(zip_source_error(buffer.get()));
    out.resize(static_cast<std::size_t>(stat.size));
    const zip_int64_t n = zip_source_read(buffer.get(), out.data(), out.size());
    zip_source_close(buffer.get());
    if (n < 0 || static_cast<zip_uint64_t>(n) != stat.size)
        return "cannot read the archive made in memory";
    return {};
}

} // namespace

Status ZipArchive::write(const std::string& path, const Parts& parts) {
    if (parts.empty())
        return Status::error(Asset::eFileError, describe(path, "Nothing to write to", nullptr));
    // What could not be read back is not written either.
    std::uint64_t total = 0;
    for (const auto& [name, bytes] : parts) {
        total += bytes.size();
        if (bytes.size() > kMaxPartBytes)
            return Status::error(Asset::eFileError,
                                 describe(path, "Cannot write", tooLarge(name, bytes.size()).c_str()));
    }
    if (parts.size() > kMaxParts || total > kMaxTotalBytes)
        return Status::error(Asset::eFileError, describe(path, "Cannot write", tooMuch(parts.size(), total).c_str()));

    // The archive is made in memory rather than by libzip beside the file, so that the one
    // place that replaces files (AtomicFile) replaces this one too.
    std::vector<std::uint8_t> archiveBytes;
    if (std::string why = buildArchive(parts, archiveBytes); !why.empty())
        return Status::error(Asset::eFileError, describe(path, "Cannot write", why.c_str()));
    Status written = AtomicFile::write(path, archiveBytes.data(), archiveBytes.size());
    if (written.failed())
        return Status::error(Asset::eFileError, written.message());
    return Status::success();
}

Status ZipArchive::read(const std::string& path, Parts& parts) {
    int code = 0;
    std::unique_ptr<zip_t, Discard> archive(zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive) {
        const bool unreadable =
            code == ZIP_ER_NOENT || code == ZIP_ER_OPEN || code == ZIP_ER_READ || code == ZIP_ER_MEMORY;
        return Status::error(
            unreadable ? Asset::eFileError : Asset::eCorruptDocument,
            describe(path, unreadable ? "Cannot open" : "Not a sound document", errorText(code).c_str()));
    }
    const auto corrupt = [&](const char* detail) {
        return Status::error(Asset::eCorruptDocument, describe(path, "Damaged document", detail));
    };

    const auto refused = [&](const std::string& detail) {
        return Status::error(Asset::eCorruptDocument, describe(path, "Refused document", detail.c_str()));
    };

    // Every declared size is weighed before anything is allocated for any part.
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0)
        return corrupt(zip_strerror(archive.get()));
    if (std::uint64_t(count) > kMaxParts)
        return refused(tooMuch(std::uint64_t(count), 0));
    std::vector<zip_stat_t> stats(static_cast<std::size_t>(count));
    std::uint64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t& stat = stats[std::size_t(i)];
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &stat) < 0 ||
            !(stat.valid & ZIP_STAT_NAME) || !(stat.valid & ZIP_STAT_SIZE))
            return corrupt(zip_strerror(archive.get()));
        if (stat.size > kMaxPartBytes)
            return refused(tooLarge(stat.name, stat.size));
        total += stat.size;
        if (total > kMaxTotalBytes)
            return refused(tooMuch(std::uint64_t(count), total));
    }

    Parts read;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const zip_stat_t& stat = stats[std::size_t(i)];
        const std::string name = stat.name;
        if (!name.empty() && name.back() == '/')
            continue; // folder entry
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stat.size));
        std::unique_ptr<zip_file_t, CloseFile> file(zip_fopen_index(archive.get(), index, 0));
        if (!file)
            return corrupt(zip_strerror(archive.get()));
        zip_uint64_t done = 0;
        while (done < bytes.size()) {
            const zip_int64_t n = zip_fread(file.get(), bytes.data() + done, bytes.size() - done);
            if (n < 0)
                return corrupt(zip_file_strerror(file.get()));
            if (n == 0)
                return corrupt(("part shorter than recorded: " + name).c_str());
            done += static_cast<zip_uint64_t>(n);
        }
        // Reading past the end makes libzip compare the checksum.
        std::uint8_t extra;
        const zip_int64_t tail = zip_fread(file.get(), &extra, 1);
        if (tail < 0)
            return corrupt(zip_file_strerror(file.get()));
        if (tail > 0)
            return corrupt(("part longer than recorded: " + name).c_str());
        if (zip_fclose(file.release()) != 0)
            return corrupt(("cannot finish reading " + name).c_str());
        if (!read.emplace(name, std::move(bytes)).second)
            return corrupt(("part stored twice: " + name).c_str());
    }
    parts.swap(read);
    return Status::success();
}

} // namespace Brio
