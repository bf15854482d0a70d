#include <Brio/DataModel/ZipArchive.h>

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
// A part larger than this is taken for damage rather than allocated.
constexpr zip_uint64_t kMaxPartSize = zip_uint64_t(1) << 32;

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

} // namespace

Status ZipArchive::write(const std::string& path, const Parts& parts) {
    if (parts.empty())
        return Status::error(Asset::eFileError, describe(path, "Nothing to write to", nullptr));
    int code = 0;
    std::unique_ptr<zip_t, Discard> archive(zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!archive)
        return Status::error(Asset::eFileError, describe(path, "Cannot create", errorText(code).c_str()));

    for (const auto& [name, bytes] : parts) {
        // The bytes stay alive until zip_close, which reads them.
        zip_source_t* source = zip_source_buffer(archive.get(), bytes.data(), bytes.size(), 0);
        if (!source)
            return Status::error(Asset::eFileError, describe(path, "Cannot write", zip_strerror(archive.get())));
        const zip_int64_t index = zip_file_add(archive.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return Status::error(Asset::eFileError, describe(path, "Cannot write", zip_strerror(archive.get())));
        }
        const auto i = static_cast<zip_uint64_t>(index);
        if (zip_set_file_compression(archive.get(), i, ZIP_CM_DEFLATE, 6) < 0 ||
            zip_file_set_dostime(archive.get(), i, kDosTime, kDosDate, 0) < 0 ||
            zip_file_set_external_attributes(archive.get(), i, 0, ZIP_OPSYS_UNIX, kRegularFileMode << 16) < 0)
            return Status::error(Asset::eFileError, describe(path, "Cannot write", zip_strerror(archive.get())));
    }
    // libzip writes a temporary file beside `path` and renames it over `path` at the end.
    if (zip_close(archive.get()) < 0)
        return Status::error(Asset::eFileError, describe(path, "Cannot write", zip_strerror(archive.get())));
    archive.release();
    return Status::success();
}

Status ZipArchive::read(const std::string& path, Parts& parts) {
    int code = 0;
    std::unique_ptr<zip_t, Discard> archive(zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive) {
        const bool unreadable = code == ZIP_ER_NOENT || code == ZIP_ER_OPEN || code == ZIP_ER_READ || code == ZIP_ER_MEMORY;
        return Status::error(unreadable ? Asset::eFileError : Asset::eCorruptDocument,
                             describe(path, unreadable ? "Cannot open" : "Not a sound document", errorText(code).c_str()));
    }
    const auto corrupt = [&](const char* detail) {
        return Status::error(Asset::eCorruptDocument, describe(path, "Damaged document", detail));
    };

    Parts read;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), index, 0, &stat) < 0 || !(stat.valid & ZIP_STAT_NAME) ||
            !(stat.valid & ZIP_STAT_SIZE))
            return corrupt(zip_strerror(archive.get()));
        const std::string name = stat.name;
        if (!name.empty() && name.back() == '/')
            continue; // folder entry
        if (stat.size > kMaxPartSize)
            return corrupt(("part too large: " + name).c_str());
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
