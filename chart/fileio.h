// Reading files without waiting and replacing them without damage: what the chart files, the
// images and the atlas share.
#pragma once

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
// inode where it exists, the same canonical path where it does not yet.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Replaces files all together or not at all. stage() writes each new content in full to a
// temporary file beside its target; commit() then renames every one over its target. A symbolic
// link is written through: the link stays, the file it names gets the content. A target that is
// not a regular file, or that is read-only (for root too), is refused; a replaced file keeps its
// mode, and its owner and group where the system allows.
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
    // Renames every staged file over its target. The reason on failure, with the target in
    // `failed`. Only a target changed by someone else since it was staged can fail here; the
    // targets before it are then already replaced.
    std::string commit(std::filesystem::path* failed = nullptr);

private:
    struct Staged {
        std::string temp;    // beside the target
        std::string target;  // with symbolic links followed
        std::filesystem::path given;
    };
    std::vector<Staged> m_staged;
};

// One file alone, through FileReplacement.
std::string replaceFile(const std::filesystem::path& target, std::string_view bytes);

}  // namespace zodiara
