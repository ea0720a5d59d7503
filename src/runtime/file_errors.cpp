#include "runtime/file_errors.h"

#include <cstring>

namespace kestrune {

std::string FileErrorDescription(int code) {
    switch (code) {
    case FileErrorCode::kCannotCreate:
        return "The file could not be created.";
    case FileErrorCode::kNoAccess:
        return "The file could not be opened: it is missing or you have no permission to read it.";
    case FileErrorCode::kLocked:
        return "The file is in use by another program.";
    case FileErrorCode::kDiskReadOnly:
        return "The document could not be saved: it is on a disk that can only be read.";
    case FileErrorCode::kNoWritePermission:
        return "The document could not be saved: you have no permission to change it.";
    case FileErrorCode::kNotOpenForRead:
        return "The file is not open for reading.";
    case FileErrorCode::kEndOfFile:
        return "The end of the file was reached.";
    case FileErrorCode::kBadFileNumber:
        return "The file reference number is not valid.";
    case FileErrorCode::kNotOpenForWrite:
        return "The file is not open for writing.";
    default:
        break;
    }
    if (code > 0) {
        return std::strerror(code);
    }
    return "Unknown file error " + std::to_string(code) + ".";
}

std::string FileErrorMessage(int fileNumber, int code) {
    return "The program returned a file error.\nFile ref:" + std::to_string(fileNumber) + "\n" +
           FileErrorDescription(code);
}

} // namespace kestrune
