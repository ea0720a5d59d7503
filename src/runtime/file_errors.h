#pragma once
// Status codes of the numbered text files and the words the file-error
// alert shows for them.

#include <string>

namespace kestrune {

namespace FileErrorCode {
constexpr int kNone = 0;
constexpr int kCannotCreate = 2;        // the file cannot be created for output
constexpr int kIoError = 5;             // a read or write failed part-way
constexpr int kNoAccess = 13;           // the file cannot be opened for input (or is missing)
constexpr int kLocked = 35;             // another program holds the file's lock
constexpr int kDiskReadOnly = -44;      // the file's disk can only be read
constexpr int kNoWritePermission = -54; // the file (or its folder) may not be changed
constexpr int kNotOpenForRead = -38;    // reading from a number that is not open
constexpr int kEndOfFile = -39;         // a line read begins at the end of the file
constexpr int kBadFileNumber = -51;     // a file number outside 1 to 255
constexpr int kNotOpenForWrite = -61;   // writing to a number not open for output
} // namespace FileErrorCode

// The platform's description of a status code, for the alert's last line.
std::string FileErrorDescription(int code);

// "The program returned a file error.\nFile ref:%d\n%@" with the number and
// the description filled in.
std::string FileErrorMessage(int fileNumber, int code);

} // namespace kestrune
