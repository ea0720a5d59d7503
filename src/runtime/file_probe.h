#pragma once
// Whether a file can be read at all, asked before anything is given up for
// it: a document that cannot be opened never replaces the sheet on screen.

#include <cstdint>
#include <optional>
#include <string>

namespace kestrune {

enum class FileProbe {
    Readable,
    Missing,      // no such file, or a folder on its path is missing
    NoPermission, // it exists but may not be read
    NotAFile,     // a folder, a pipe, a device
    Locked,       // another program holds its lock
    BadName,      // a name no file can have (a NUL byte in it, or nothing)
};

// A path the file calls would read otherwise than it is written: empty, or
// holding a NUL byte, where the system would stop reading it (so
// "a.csv\0.kedata" would open a.csv).
bool IsUnusablePath(const std::string& path);

FileProbe ProbeInputFile(const std::string& path);

// What tells one state of a file from another: the file itself (device and
// inode), its size and the times of its last change. The same identity at
// two moments means nothing wrote to the file in between.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0; // nanoseconds
    std::int64_t changed = 0;  // nanoseconds, metadata included
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the file at path (links followed); nothing when there is
// no such file.
std::optional<FileIdentity> IdentifyFile(const std::string& path);
// True when the file is another one than before, or its bytes were written
// since (a change of its owner or permissions alone does not count).
bool WrittenSince(const FileIdentity& before, const FileIdentity& now);

// A sentence for the user saying why, e.g. "The file does not exist."
std::string FileProbeReason(FileProbe probe);

} // namespace kestrune
