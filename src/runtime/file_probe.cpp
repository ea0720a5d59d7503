#include "runtime/file_probe.h"

#include "runtime/byte_streams.h"
#include "runtime/file_errors.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrune {

bool IsUnusablePath(const std::string& path) {
    return path.empty() || path.find('\0') != std::string::npos;
}

FileProbe ProbeInputFile(const std::string& path) {
    if (IsUnusablePath(path)) {
        return FileProbe::BadName;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return errno == EACCES ? FileProbe::NoPermission : FileProbe::Missing;
    }
    if (!S_ISREG(st.st_mode)) {
        return FileProbe::NotAFile;
    }
    if (::access(path.c_str(), R_OK) != 0) {
        return FileProbe::NoPermission;
    }
    // Opening it the way a read does also checks the locks.
    int status = 0;
    if (openFileSource(path, status) == nullptr) {
        return status == FileErrorCode::kLocked ? FileProbe::Locked : FileProbe::NoPermission;
    }
    return FileProbe::Readable;
}

std::optional<FileIdentity> IdentifyFile(const std::string& path) {
    if (IsUnusablePath(path)) {
        return std::nullopt;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    constexpr std::int64_t kNano = 1'000'000'000;
    FileIdentity identity;
    identity.device = static_cast<std::uint64_t>(st.st_dev);
    identity.inode = static_cast<std::uint64_t>(st.st_ino);
    identity.size = static_cast<std::int64_t>(st.st_size);
    identity.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * kNano + st.st_mtim.tv_nsec;
    identity.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * kNano + st.st_ctim.tv_nsec;
    return identity;
}

std::string FileProbeReason(FileProbe probe) {
    switch (probe) {
    case FileProbe::Readable:
        break;
    case FileProbe::Missing:
        return "The file does not exist.";
    case FileProbe::NoPermission:
        return "You do not have permission to read it.";
    case FileProbe::NotAFile:
        return "It is a folder or a special file, not a document.";
    case FileProbe::BadName:
        return "Its name holds a character that no file name can hold.";
    case FileProbe::Locked:
        return "Another program is using it and has locked it. Try again when that program is "
               "done with it.";
    }
    return {};
}

bool WrittenSince(const FileIdentity& before, const FileIdentity& now) {
    return before.device != now.device || before.inode != now.inode || before.size != now.size ||
           before.modified != now.modified;
}

} // namespace kestrune
