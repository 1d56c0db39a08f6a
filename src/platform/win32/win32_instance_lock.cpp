#include "platform/win32/win32_instance_lock.h"

#include "base/exception.h"
#include "platform/native_path.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_handle.h"

#include <filesystem>

namespace tw {

namespace {

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

  private:
    std::string path_;
    TKernelHandle handle_;
};

[[noreturn]] void ThrowCreateError(const std::string& path, DWORD error) {
    throw Exception("Unable to create \"" + path + "\" file\r\nError: " + SystemErrorText(error));
}

} // namespace

std::unique_ptr<TInstanceLock> AcquireWin32InstanceLock(const std::string& path) {
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
            return std::make_unique<TWin32InstanceLock>(path, held);
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

} // namespace tw
