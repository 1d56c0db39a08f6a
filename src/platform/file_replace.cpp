#include "platform/file_replace.h"

#include "platform/file_privacy.h"
#include "platform/native_path.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tw {

namespace {

void RemoveTemporary(const std::string& fileName) {
    std::error_code ignored;
    std::filesystem::remove(NativePath(fileName), ignored);
}

#ifndef _WIN32
// Makes the rename itself durable; a failure here loses nothing, so it is ignored.
void SyncFolderOf(const std::string& fileName) {
    auto slash = fileName.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : fileName.substr(0, slash + 1);
    int fd = ::open(folder.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

} // namespace

void ReplaceFileContent(const std::string& fileName, const std::string& content) {
    const std::string tempName = fileName + ".tmp";
    errno = 0;
    FILE* file = OpenFile(tempName, "wb");
    if (!file) {
        throw EInOutError("Cannot create \"" + tempName + "\": " + std::strerror(errno));
    }
    // The file it replaces was the person's alone; so is the new one, before it holds anything.
    MakePrivate(tempName);
    bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
              std::fflush(file) == 0;
#ifdef _WIN32
    ok = ok && _commit(_fileno(file)) == 0;
#else
    ok = ok && ::fsync(fileno(file)) == 0;
#endif
    int error = errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        RemoveTemporary(tempName);
        throw EInOutError("Cannot write \"" + tempName + "\": " + std::strerror(error));
    }
#ifdef _WIN32
    if (!MoveFileExW(NativePath(tempName).c_str(), NativePath(fileName).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD code = GetLastError();
        RemoveTemporary(tempName);
        throw EInOutError("Cannot replace \"" + fileName + "\": system error " +
                          std::to_string(code));
    }
#else
    if (std::rename(tempName.c_str(), fileName.c_str()) != 0) {
        int renameError = errno;
        RemoveTemporary(tempName);
        throw EInOutError("Cannot replace \"" + fileName + "\": " + std::strerror(renameError));
    }
    SyncFolderOf(fileName);
#endif
}

const char* NativeLineEnd() {
#ifdef _WIN32
    return "\r\n";
#else
    return "\n";
#endif
}

} // namespace tw
