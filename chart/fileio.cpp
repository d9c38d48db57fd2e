#include "chart/fileio.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <linux/capability.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace zodiara {

namespace {

namespace fs = std::filesystem;

std::string systemReason(int error) { return std::strerror(error); }

std::string notRegular(mode_t mode)
{
    const char* kind = S_ISDIR(mode)    ? "a directory"
                       : S_ISFIFO(mode) ? "a FIFO"
                       : S_ISCHR(mode)  ? "a character device"
                       : S_ISBLK(mode)  ? "a block device"
                       : S_ISSOCK(mode) ? "a socket"
                                        : "something else";
    return std::string("it is ") + kind + ", not a regular file";
}

// The staged files a signal must not leave behind. Fixed storage and lock-free flags only: the
// handler may run between any two instructions. Beyond these places a file is staged all the
// same, without that care.
struct StagedName {
    std::atomic<bool> taken{false};
    std::atomic<bool> ready{false};
    char path[PATH_MAX];
};
static_assert(std::atomic<bool>::is_always_lock_free);
StagedName stagedNames[16];

// The place `path` is kept in, or -1.
int rememberStaged(const std::string& path)
{
    if (path.size() >= PATH_MAX)
        return -1;
    for (int place = 0; place < int(std::size(stagedNames)); ++place) {
        StagedName& name = stagedNames[place];
        if (name.taken.exchange(true))
            continue;
        std::memcpy(name.path, path.c_str(), path.size() + 1);
        name.ready.store(true);
        return place;
    }
    return -1;
}

void forgetStaged(int place)
{
    if (place < 0)
        return;
    stagedNames[place].ready.store(false);
    stagedNames[place].taken.store(false);
}

void removeStagedAndEnd(int signal)
{
    for (StagedName& name : stagedNames)
        if (name.ready.load())
            ::unlink(name.path);
    // SA_RESETHAND has put the default action back: it ends the program once this returns.
    ::raise(signal);
}

constexpr int CleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t cleanupSignalSet()
{
    sigset_t set;
    ::sigemptyset(&set);
    for (const int signal : CleanupSignals)
        ::sigaddset(&set, signal);
    return set;
}

// Keeps the cleanup signals waiting while a staged file is between states the handler cannot
// tell apart: created but not yet remembered, half written into its target.
class SignalsHeld {
public:
    SignalsHeld()
    {
        const sigset_t set = cleanupSignalSet();
        ::pthread_sigmask(SIG_BLOCK, &set, &m_previous);
    }
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t m_previous;
};

// The descriptor of this process that `path` names as /proc/self/fd/N or /dev/fd/N (where
// /dev/stdout and /dev/stderr lead), or -1.
int ownDescriptorNamed(const fs::path& path)
{
    const std::string name = path.filename().string();
    if (name.empty() || name.size() > 9 || name.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    std::error_code error;
    const fs::path folder = fs::canonical(path.has_parent_path() ? path.parent_path() : fs::path("."), error);
    if (error)
        return -1;
    for (const char* own : {"/proc/self/fd", "/proc/thread-self/fd"})
        if (folder == fs::canonical(own, error) && !error)
            return std::stoi(name);
    return -1;
}

struct Target {
    fs::path path;        // with every symbolic link followed
    int descriptor = -1;  // one of this process's open descriptors
    bool exists = false;
    struct stat status {};
};

// The file that is to receive new content: `given` with every symbolic link followed. It need
// not exist yet, as for a new file or a link to one.
std::string resolveTarget(const fs::path& given, Target& target)
{
    fs::path path = given;
    // As many links as the system itself follows.
    for (int hops = 0; hops <= 40; ++hops) {
        // These links lead to whatever the descriptor has open; a shell user means the
        // descriptor itself, at its own offset.
        if (const int fd = ownDescriptorNamed(path); fd >= 0) {
            target.path = path;
            target.descriptor = fd;
            target.exists = true;
            if (::fstat(fd, &target.status) != 0)
                return "descriptor " + std::to_string(fd) + " is not open";
            return {};
        }
        if (::lstat(path.c_str(), &target.status) != 0) {
            if (errno != ENOENT)
                return systemReason(errno);
            target.exists = false;
            target.path = path;
            return {};
        }
        if (!S_ISLNK(target.status.st_mode)) {
            target.exists = true;
            target.path = path;
            return {};
        }
        std::error_code error;
        const fs::path link = fs::read_symlink(path, error);
        if (error)
            return error.message();
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return systemReason(ELOOP);
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            // A descriptor handed to us may be non-blocking: wait as a blocking one would.
            pollfd ready{fd, POLLOUT, 0};
            if (errno == EINTR || (errno == EAGAIN && ::poll(&ready, 1, -1) >= 0))
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// One extended attribute of `path`; false where it has none of that name.
bool readAttribute(const char* path, const char* name, std::string& value)
{
    for (;;) {
        const ssize_t size = ::getxattr(path, name, nullptr, 0);
        if (size < 0)
            return false;
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::getxattr(path, name, value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

constexpr char AccessAcl[] = "system.posix_acl_access";

// Gives the staged file `fd` the target's extended attributes and `mode`. The access control
// list comes last: setting it sets the permission bits, so that its mask stays the mask rather
// than becoming the group's bits. Where the target has no list, one the folder's default gave
// the staged file goes, so that nobody gains a permission.
std::string copyAttributes(const char* target, int fd, mode_t mode)
{
    std::string names;
    for (;;) {
        const ssize_t size = ::listxattr(target, nullptr, 0);
        if (size < 0 && errno != ENOTSUP)
            return "cannot read its extended attributes: " + systemReason(errno);
        names.resize(static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
        const ssize_t got = size > 0 ? ::listxattr(target, names.data(), names.size()) : 0;
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            break;
        }
        if (errno != ERANGE)
            return "cannot read its extended attributes: " + systemReason(errno);
    }
    std::string value, acl;
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
        const std::string_view name(names.c_str() + at);
        if (name == AccessAcl || !readAttribute(target, name.data(), value))
            continue;
        if (::fsetxattr(fd, name.data(), value.data(), value.size(), 0) != 0) {
            // As with the owner: a security label or trusted attribute the system keeps to itself.
            const bool kept = name.starts_with("user.") || name.starts_with("system.");
            if (kept || (errno != EPERM && errno != EACCES && errno != ENOTSUP))
                return "cannot keep its extended attribute " + std::string(name) + ": " + systemReason(errno);
        }
    }
    const bool hasAcl = readAttribute(target, AccessAcl, acl);
    if (!hasAcl && ::fremovexattr(fd, AccessAcl) != 0 && errno != ENODATA && errno != ENOTSUP)
        return systemReason(errno);
    if (::fchmod(fd, mode) != 0)
        return systemReason(errno);
    if (hasAcl && ::fsetxattr(fd, AccessAcl, acl.data(), acl.size(), 0) != 0)
        return "cannot keep its access control list: " + systemReason(errno);
    return {};
}

bool mayOverrideOwners()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return ::geteuid() == 0;
    return (data[CAP_FOWNER / 32].effective >> (CAP_FOWNER % 32)) & 1;
}

// renameObstacle() for `target` as the system sees it now.
std::string renameObstacleAt(const std::string& target)
{
    const fs::path path(target);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0)
        return systemReason(errno);
    RenameSite site{.user = ::geteuid(),
                    .overridesOwners = mayOverrideOwners(),
                    .folderMode = status.st_mode,
                    .folderOwner = status.st_uid,
                    .folderDevice = status.st_dev};
    struct statvfs mounted {};
    site.readOnly = (::statvfs(folder.c_str(), &mounted) == 0 && (mounted.f_flag & ST_RDONLY))
                    || (::faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) != 0 && errno == EROFS);
    struct statx file {};
    if (::statx(AT_FDCWD, target.c_str(), AT_SYMLINK_NOFOLLOW, STATX_UID, &file) == 0) {
        site.targetExists = true;
        site.targetOwner = file.stx_uid;
        site.targetDevice = makedev(file.stx_dev_major, file.stx_dev_minor);
        site.targetIsMountRoot = file.stx_attributes_mask & file.stx_attributes & STATX_ATTR_MOUNT_ROOT;
    } else if (errno != ENOENT) {
        return systemReason(errno);
    }
    return renameObstacle(site);
}

}  // namespace

int openRegularFile(const fs::path& path, std::string& reason, std::uintmax_t& size)
{
    struct stat status {};
    // Opening a FIFO waits for a writer, and a device may never end: look before opening.
    if (::stat(path.c_str(), &status) != 0) {
        reason = "cannot open it: " + systemReason(errno);
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        reason = notRegular(status.st_mode);
        return -1;
    }
    // The name may have changed hands since: the open must not wait either.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = "cannot open it: " + systemReason(errno);
        return -1;
    }
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        reason = S_ISREG(status.st_mode) ? "cannot open it: " + systemReason(errno) : notRegular(status.st_mode);
        ::close(fd);
        return -1;
    }
    size = static_cast<std::uintmax_t>(status.st_size);
    return fd;
}

bool sameFile(const fs::path& a, const fs::path& b)
{
    Target first, second;
    if (!resolveTarget(a, first).empty() || !resolveTarget(b, second).empty() || first.exists != second.exists)
        return false;
    if (first.exists)
        return first.status.st_dev == second.status.st_dev && first.status.st_ino == second.status.st_ino;
    // Absolute first: a relative path without an existing prefix stays relative.
    const auto canonical = [](const fs::path& path, std::error_code& error) {
        const fs::path absolute = fs::absolute(path, error);
        return error ? fs::path() : fs::weakly_canonical(absolute, error);
    };
    std::error_code firstError, secondError;
    const fs::path firstPath = canonical(first.path, firstError), secondPath = canonical(second.path, secondError);
    return !firstError && !secondError && firstPath == secondPath;
}

FileReplacement::~FileReplacement()
{
    for (Staged& staged : m_staged)
        discard(staged);
}

void FileReplacement::discard(Staged& staged)
{
    if (staged.kind == Kind::InPlace && staged.descriptor >= 0)
        ::close(staged.descriptor);
    staged.descriptor = -1;
    if (!staged.temp.empty())
        ::unlink(staged.temp.c_str());
    staged.temp.clear();
    forgetStaged(staged.registered);
    staged.registered = -1;
}

std::string FileReplacement::stage(const fs::path& given, std::string_view bytes)
{
    Target target;
    if (std::string reason = resolveTarget(given, target); !reason.empty())
        return reason;
    if (target.descriptor >= 0) {
        const int flags = ::fcntl(target.descriptor, F_GETFL);
        if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY)
            return "descriptor " + std::to_string(target.descriptor) + " is not open for writing";
        Staged& staged = m_staged.emplace_back();
        staged.kind = Kind::Descriptor;
        staged.target = target.path.string();
        staged.given = given;
        staged.descriptor = target.descriptor;
        staged.bytes = bytes;
        return {};
    }
    const struct stat& existing = target.status;
    if (target.exists) {
        if (S_ISDIR(existing.st_mode))
            return "it is a directory";
        if (!S_ISREG(existing.st_mode))
            return notRegular(existing.st_mode);
        // Root may write anything; a file without any write permission is still not to be replaced.
        if (::access(target.path.c_str(), W_OK) != 0) {
            if (errno != EACCES)
                return systemReason(errno);
            return "it is read-only";
        }
        if ((existing.st_mode & 0222) == 0)
            return "it is read-only";
    }

    // A short temporary name, so that any valid target name can be saved.
    const fs::path directory = target.path.has_parent_path() ? target.path.parent_path() : fs::path(".");
    std::string temp = (directory / ".zod-XXXXXX").string();
    int fd = -1, registered = -1;
    {
        // A signal between the two would leave the file behind.
        const SignalsHeld held;
        fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd >= 0)
            registered = rememberStaged(temp);
    }
    if (fd < 0)
        return "cannot create a file in " + directory.string() + ": " + systemReason(errno);
    // Renaming would part the links from the file: it is written in place, from this copy.
    const bool inPlace = target.exists && existing.st_nlink > 1;
    Staged& staged = m_staged.emplace_back();
    staged.kind = inPlace ? Kind::InPlace : Kind::Rename;
    staged.temp = temp;
    staged.target = target.path.string();
    staged.given = given;
    staged.registered = registered;

    const auto fail = [&](std::string reason) {
        ::close(fd);
        discard(staged);
        m_staged.pop_back();
        return reason;
    };
    // The content first, while the file is ours alone: writing would clear set-user-ID.
    if (!writeAll(fd, bytes))
        return fail(systemReason(errno));
    if (inPlace) {
        staged.bytes = bytes;
        staged.device = existing.st_dev;
        staged.inode = existing.st_ino;
    } else if (target.exists) {
        // Where the system does not allow it, the new file is ours, as an editor would leave it.
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            [[maybe_unused]] const int group = ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
        }
        // After the owner: changing the owner clears set-user-ID.
        if (std::string reason = copyAttributes(target.path.c_str(), fd, existing.st_mode & 07777); !reason.empty())
            return fail(reason);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd, 0666 & ~mask) != 0)
            return fail(systemReason(errno));
    }
    if (::fsync(fd) != 0)
        return fail(systemReason(errno));
    if (::close(fd) != 0) {
        fd = -1;
        return fail(systemReason(errno));
    }
    return {};
}

std::string FileReplacement::check(fs::path* failed)
{
    for (Staged& staged : m_staged) {
        std::string reason;
        if (staged.kind == Kind::Rename) {
            reason = renameObstacleAt(staged.target);
        } else if (staged.kind == Kind::InPlace) {
            if (staged.descriptor >= 0)
                ::close(staged.descriptor);
            staged.descriptor = ::open(staged.target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            struct stat now {};
            if (staged.descriptor < 0 || ::fstat(staged.descriptor, &now) != 0)
                reason = systemReason(errno);
            else if (now.st_dev != staged.device || now.st_ino != staged.inode)
                reason = "it was replaced since it was staged";
            // Room for all of it before the first byte: a full disk must not stop it halfway.
            else if (!staged.bytes.empty()
                     && ::fallocate(staged.descriptor, FALLOC_FL_KEEP_SIZE, 0, off_t(staged.bytes.size())) != 0
                     && (errno == ENOSPC || errno == EDQUOT))
                reason = systemReason(errno);
        }
        if (!reason.empty()) {
            if (failed)
                *failed = staged.given;
            return reason;
        }
    }
    return {};
}

std::string FileReplacement::commit(fs::path* failed)
{
    if (std::string reason = check(failed); !reason.empty())
        return reason;
    const auto fail = [&](const Staged& staged, int error) {
        if (failed)
            *failed = staged.given;
        return systemReason(error);
    };
    // A descriptor may be a pipe that waits or breaks: first, and with the signals free to end
    // the wait.
    for (const Staged& staged : m_staged)
        if (staged.kind == Kind::Descriptor && !writeAll(staged.descriptor, staged.bytes))
            return fail(staged, errno);
    const SignalsHeld held;
    for (Staged& staged : m_staged) {
        if (staged.kind != Kind::InPlace)
            continue;
        const int fd = staged.descriptor;
        if (!writeAll(fd, staged.bytes) || ::ftruncate(fd, off_t(staged.bytes.size())) != 0 || ::fsync(fd) != 0)
            return fail(staged, errno);
        discard(staged);
    }
    for (Staged& staged : m_staged) {
        if (staged.kind != Kind::Rename)
            continue;
        if (::rename(staged.temp.c_str(), staged.target.c_str()) != 0)
            return fail(staged, errno);
        staged.temp.clear();
        discard(staged);
    }
    m_staged.clear();
    return {};
}

std::string replaceFile(const fs::path& target, std::string_view bytes)
{
    FileReplacement replacement;
    if (std::string reason = replacement.stage(target, bytes); !reason.empty())
        return reason;
    return replacement.commit();
}

std::string renameObstacle(const RenameSite& site)
{
    if (site.readOnly)
        return "its file system is read-only";
    if (!site.targetExists)
        return {};
    if (site.targetIsMountRoot || site.targetDevice != site.folderDevice)
        return "it is a mount point";
    // In a sticky folder such as /tmp only the file's owner and the folder's may replace a file.
    if ((site.folderMode & S_ISVTX) && site.user != site.targetOwner && site.user != site.folderOwner
        && !site.overridesOwners)
        return "it belongs to another user in a sticky folder";
    return {};
}

void removeStagedFilesOnSignals()
{
    struct sigaction action {};
    action.sa_handler = removeStagedAndEnd;
    action.sa_flags = SA_RESETHAND;
    action.sa_mask = cleanupSignalSet();
    for (const int signal : CleanupSignals) {
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace zodiara
