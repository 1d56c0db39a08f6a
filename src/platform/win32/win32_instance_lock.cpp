#include "platform/win32/win32_instance_lock.h"

#include "base/exception.h"
#include "platform/native_path.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_handle.h"

#include <filesystem>

namespace tw {

namespace {

[[noreturn]] void ThrowCreateError(const std::string& path, DWORD error) {
    throw Exception("Unable to create \"" + path + "\" file\r\nError: " + SystemErrorText(error));
}

// Opens the file under path (making it and its folders when missing) with no sharing at
// all: the handle, or null when another process holds it. Throws when the file cannot be
// made or opened for another reason.
HANDLE TakeFile(const std::string& path) {
    std::error_code ignored; // a folder that cannot be made shows up as the open's error
    const std::filesystem::path file = NativePath(path);
    std::filesystem::create_directories(file.parent_path(), ignored);
    // A round is lost only to a holder that deleted the file between our two opens.
    for (int round = 0; round < 100; ++round) {
        if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
            HANDLE created = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
            if (created == INVALID_HANDLE_VALUE) {
                const DWORD error = GetLastError();
                if (error == ERROR_SHARING_VIOLATION) {
                    return nullptr; // it appeared meanwhile, and is held
                }
                ThrowCreateError(path, error);
            }
            CloseHandle(created);
        }
        HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (held != INVALID_HANDLE_VALUE) {
            return held;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
            return nullptr;
        }
        if (error != ERROR_FILE_NOT_FOUND) {
            ThrowCreateError(path, error);
        }
    }
    return nullptr;
}

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

// Whether the path still names the file behind the handle. An open for the attributes alone
// is refused by no sharing mode, so it succeeds on the held file. Windows itself refuses to
// delete a file held without sharing, but a file system shared with another system (or a
// compatibility layer's host) may not.
bool PathNamesHandle(const std::string& path, HANDLE held) {
    TKernelHandle byPath(CreateFileW(NativePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return byPath.Valid() && SameFile(byPath.Get(), held);
}

class TWin32InstanceLock : public TInstanceLock {
  public:
    TWin32InstanceLock(std::string path, HANDLE handle) : path_(std::move(path)), handle_(handle) {}
    ~TWin32InstanceLock() override { Release(); }

    // A rival that opens the file between our close and the delete holds it without
    // sharing, so the delete then fails and its lock file stays, as it must.
    void Release() override {
        if (!handle_.Valid()) {
            return;
        }
        handle_.Reset();
        DeleteFileW(NativePath(path_).c_str());
    }

    bool Reassert() override {
        if (!handle_.Valid()) {
            return false;
        }
        if (PathNamesHandle(path_, handle_.Get())) {
            return true;
        }
        HANDLE taken = nullptr;
        try {
            taken = TakeFile(path_);
        } catch (const Exception&) {
            return true; // a rival could not make the file either; tried again next time
        }
        // The old file, gone from its folder, guards nothing any more; closed without a
        // delete, which would be another copy's file.
        handle_.Reset(taken);
        return handle_.Valid();
    }

  private:
    std::string path_;
    TKernelHandle handle_;
};

} // namespace

std::unique_ptr<TInstanceLock> AcquireWin32InstanceLock(const std::string& path) {
    HANDLE held = TakeFile(path);
    if (held == nullptr) {
        return nullptr;
    }
    return std::make_unique<TWin32InstanceLock>(path, held);
}

std::unique_ptr<TInstanceLock> TSystemInstanceLocks::Acquire(const std::string& path) {
    return AcquireWin32InstanceLock(path);
}

} // namespace tw
