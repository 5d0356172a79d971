#pragma once
/** Files and folders: the few operations the program needs, on POSIX paths.
 *  Failures raise EInOutError (or its descendants) with a message naming the path. */

#include <string>
#include <string_view>
#include <vector>

bool FileExists(const std::string& path);       // any entry that is not a folder
bool DirectoryExists(const std::string& path);

/** Creates the folder and every missing parent; an existing folder is fine. */
void ForceDirectories(const std::string& path);

std::string ReadFileText(const std::string& path);
/** Creates or truncates the file and writes data. */
void WriteFileText(const std::string& path, std::string_view data);
/** Writes data to a temporary file in the same folder and renames it over path,
 *  so a failed write leaves an existing file as it was. A symbolic link is
 *  followed: the file it names is replaced and the link stays. An existing
 *  file that may not be written is left alone and raises EFCreateError. */
void WriteFileAtomic(const std::string& path, std::string_view data);

/** Copies the content of source into target (created or replaced). Copying a
 *  file onto itself raises EInOutError and leaves the file untouched. */
void CopyFileContent(const std::string& source, const std::string& target);

/** True when name matches mask ('*' any run, '?' one byte), ASCII letters
 *  compared without case. */
bool MatchesMask(std::string_view name, std::string_view mask);
/** Names of the entries of folder (files and folders, without "." and "..")
 *  that match mask, sorted by name. A missing folder gives an empty list. */
std::vector<std::string> FindFiles(const std::string& folder, std::string_view mask);

std::string GetCurrentDir();                       // without trailing "/"
std::string GetExecutablePath();                   // full path of the running program
std::string ExtractFilePath(const std::string& path);   // up to and including the last "/"
std::string ExtractFileName(const std::string& path);   // behind the last "/"
std::string IncludeTrailingPathDelimiter(const std::string& path);
