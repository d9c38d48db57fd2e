// Reading files without waiting and replacing them without damage: what the chart files, the
// images and the atlas share.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zodiara {

// Opens a regular file for reading. A FIFO, a device, a directory or a socket is refused at
// once, never waited on. Returns the descriptor (the caller closes it) and its size, or -1 and
// the reason ("it is a directory, not a regular file", the system's reason).
int openRegularFile(const std::filesystem::path& path, std::string& reason, std::uintmax_t& size);

// Whether two names lead to one file once symbolic links are followed: the same device and
// inode where it exists (a descriptor named as /dev/stdout included), the same canonical path
// where it does not yet.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Replaces files all together or not at all. stage() writes each new content in full to a
// temporary file beside its target; commit() then renames every one over its target. A symbolic
// link is written through: the link stays, the file it names gets the content. A target that is
// not a regular file, or that is read-only (for root too), is refused. A replaced file keeps its
// mode, its access control list and extended attributes, and its owner and group where the
// system allows; it never gains a permission.
//
// Two kinds of target are written into rather than renamed over, and so not atomically: a file
// with several hard links (the links would otherwise part), written in place from a staged and
// synced copy; and a name of one of this process's open descriptors (/dev/stdout, /dev/fd/N,
// /proc/self/fd/N), written at the descriptor's own offset, as a shell redirection would.
// Staging one file twice is the caller's mistake; sameFile() tells.
class FileReplacement {
public:
    FileReplacement() = default;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    // Removes whatever was staged and not committed.
    ~FileReplacement();

    // The reason on failure, empty on success; nothing is replaced yet either way.
    std::string stage(const std::filesystem::path& target, std::string_view bytes);
    // What is known to stop commit() replacing a target: another user's file in a sticky
    // folder, a mount point, a read-only file system, a file with several links that cannot be
    // opened or has no room. The reason, with the target in `failed`; empty when nothing does.
    std::string check(std::filesystem::path* failed = nullptr);
    // Checks again, and refuses before touching any target; then writes the descriptors, the
    // files with several links, and renames the rest. The reason on failure, with the target in
    // `failed`. Past the checks only a descriptor that refuses its bytes, a failing disk or a
    // target changed by someone else since can fail; the targets before it are then written.
    std::string commit(std::filesystem::path* failed = nullptr);

private:
    enum class Kind { Rename, InPlace, Descriptor };
    struct Staged {
        Kind kind = Kind::Rename;
        std::string temp;    // beside the target; not for a descriptor
        std::string target;  // with symbolic links followed
        std::filesystem::path given;
        int registered = -1;  // the temporary file's place among those removed on a signal
        int descriptor = -1;  // Descriptor: the process's own; InPlace: the target, opened by check()
        std::string bytes;    // what InPlace and Descriptor write at commit()
        dev_t device = 0;     // InPlace: the file that was staged
        ino_t inode = 0;
    };
    void discard(Staged& staged);
    std::vector<Staged> m_staged;
};

// One file alone, through FileReplacement.
std::string replaceFile(const std::filesystem::path& target, std::string_view bytes);

// What the system says about renaming a file of a folder over a target in it.
struct RenameSite {
    uid_t user = 0;                // the effective user ID renaming
    bool overridesOwners = false;  // CAP_FOWNER: a sticky folder does not stop it
    bool readOnly = false;         // the folder's file system is mounted read-only
    mode_t folderMode = 0;
    uid_t folderOwner = 0;
    dev_t folderDevice = 0;
    bool targetExists = false;
    uid_t targetOwner = 0;
    dev_t targetDevice = 0;
    bool targetIsMountRoot = false;  // something is mounted on it, if from the same device
};
// Why such a rename would fail, empty when nothing known stops it.
std::string renameObstacle(const RenameSite& site);

// Has SIGINT, SIGTERM and SIGHUP remove every staged file before they end the program as they
// would have. A signal the program was started with ignored stays ignored.
void removeStagedFilesOnSignals();

}  // namespace zodiara
