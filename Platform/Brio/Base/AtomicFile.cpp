#include <Brio/Base/AtomicFile.h>

#include <Brio/Base/StringConversion.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Brio {

namespace fs = std::filesystem;

namespace {

std::mutex& hookMutex() {
    static std::mutex mutex;
    return mutex;
}

AtomicFile::FailureHook& hook() {
    static AtomicFile::FailureHook s_hook;
    return s_hook;
}

/// The errno a test asks a step to fail with, 0 to go on.
int injected(const AtomicFile::FailureHook& h, AtomicFile::EStep step, const fs::path& temporary) {
    return h ? h(step, temporary) : 0;
}

Status failure(const char* what, const fs::path& path, int error) {
    return Status::error(AtomicFile::eWriteFailed, Utility::toWide(what) + L" \"" + Utility::toWide(path.string()) +
                                                       L"\": " + Utility::toWide(std::strerror(error)));
}

/// The file a write lands on: a symbolic link is followed, so that the link stays a link.
fs::path landingPath(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        fs::path real = fs::weakly_canonical(path, ec);
        if (!ec)
            return real;
    }
    return path;
}

/// Opens a temporary of a name of its own beside `target` (a hidden name, so that it does not
/// show among the user's files, and unique per process and save, so that concurrent savers
/// never share one). -1 with errno set on failure.
int openTemporary(const fs::path& target, fs::path& temporary) {
    static std::atomic<unsigned> s_counter{0};
    // Cut so that a file whose own name is near the longest allowed still gets a temporary.
    const std::string base = target.filename().string().substr(0, 200);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "." + base + "." + std::to_string(::getpid()) + "-" +
                                 std::to_string(s_counter.fetch_add(1, std::memory_order_relaxed)) + ".tmp";
        temporary = target.parent_path() / name;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

/// The old file's permissions (and owner, where we may give it) go to its replacement.
void keepAttributes(int fd, const fs::path& target) {
    struct stat old;
    if (::stat(target.c_str(), &old) != 0 || !S_ISREG(old.st_mode))
        return;
    (void)::fchmod(fd, old.st_mode & 07777);
    struct stat now;
    if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid))
        (void)::fchown(fd, old.st_uid, old.st_gid); // only root may; others keep their own
}

int writeAll(int fd, const void* data, std::size_t size) {
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, at, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        at += n;
        size -= std::size_t(n);
    }
    return 0;
}

} // namespace

void AtomicFile::failureHook(FailureHook h) {
    std::lock_guard lock(hookMutex());
    hook() = std::move(h);
}

Status AtomicFile::write(const fs::path& path, const void* data, std::size_t size) {
    FailureHook h;
    {
        std::lock_guard lock(hookMutex());
        h = hook();
    }
    const fs::path target = landingPath(path);
    fs::path temporary;
    int fd = openTemporary(target, temporary);
    if (fd < 0)
        return failure("Cannot create a temporary file beside", path, errno);

    // Every failure from here on takes the temporary away again.
    const auto abandon = [&](const char* what, int error) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.c_str());
        return failure(what, path, error);
    };
    if (int error = injected(h, eCreate, temporary); error != 0)
        return abandon("Cannot create a temporary file beside", error);
    keepAttributes(fd, target);
    int error = injected(h, eWrite, temporary);
    if (error == 0)
        error = writeAll(fd, data, size);
    if (error != 0)
        return abandon("Cannot write", error);
    // Flushed before the rename: otherwise a crash soon after could leave the new name on an
    // empty file.
    error = injected(h, eFlush, temporary);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (error != 0)
        return abandon("Cannot write to disk", error);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return abandon("Cannot write", errno);

    error = injected(h, eRename, temporary);
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0)
        return abandon("Cannot replace", error);

    // The rename itself lasts only once the folder is on disk too. Some file systems cannot
    // flush folders; the file is in place all the same, so this is no failure.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    error = injected(h, eFlushFolder, temporary);
    if (error == 0) {
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0)
            error = errno;
        else {
            if (::fsync(dir) != 0 && errno != EINVAL)
                error = errno;
            ::close(dir);
        }
    }
    if (error != 0)
        return Status::warning(eWriteFailed, L"Saved \"" + Utility::toWide(path.string()) +
                                                 L"\", but its folder could not be flushed to disk: " +
                                                 Utility::toWide(std::strerror(error)));
    return Status::success();
}

} // namespace Brio
