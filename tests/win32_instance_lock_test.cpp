#include "base/exception.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_instance_lock.h"
#include "win32_support/test_windows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class Win32InstanceLockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "tallywick-lock-" + std::to_string(GetCurrentProcessId());
        path = folder + "\\sub\\Tallywick.lock";
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string Helper(const std::string& arguments) const {
        return twtest::QuotedCommand(twtest::OwnFolder() + TALLYWICK_HELPER_NAME, arguments);
    }

    std::string folder;
    std::string path;
};

TEST_F(Win32InstanceLockTest, OneHolderAtATimeAndAKilledHolderLeavesItFree) {
    twtest::TTestProcess first(Helper("lock \"" + path + "\""));
    ASSERT_EQ(first.ReadLine(), "locked");
    {
        twtest::TTestProcess second(Helper("lock \"" + path + "\""));
        EXPECT_EQ(second.ReadLine(), "busy");
        EXPECT_EQ(second.ExitCodeWithin(10000), 0);
    }
    EXPECT_EQ(tw::AcquireWin32InstanceLock(path), nullptr);

    first.Kill();
    EXPECT_TRUE(std::filesystem::exists(path)) << "a killed holder leaves its file behind";
    twtest::TTestProcess third(Helper("lock \"" + path + "\""));
    EXPECT_EQ(third.ReadLine(), "locked");
}

TEST_F(Win32InstanceLockTest, ReleaseDeletesTheFileAndFreesIt) {
    auto lock = tw::AcquireWin32InstanceLock(path);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(tw::AcquireWin32InstanceLock(path), nullptr) << "a second open in the same process";
    lock->Release();
    EXPECT_FALSE(std::filesystem::exists(path));
    lock->Release(); // twice is harmless
    auto again = tw::AcquireWin32InstanceLock(path);
    EXPECT_NE(again, nullptr);
}

TEST_F(Win32InstanceLockTest, AStaleFileFromACrashIsReused) {
    std::filesystem::create_directories(folder + "\\sub");
    { std::ofstream(path) << ""; }
    auto lock = tw::AcquireWin32InstanceLock(path);
    EXPECT_NE(lock, nullptr);
}

TEST_F(Win32InstanceLockTest, AFileThatCannotBeCreatedIsReportedWithTheSystemsText) {
    // A folder where a file stands: neither the folder nor the lock can be made.
    std::filesystem::create_directories(folder);
    { std::ofstream(folder + "\\blocker") << "x"; }
    const std::string impossible = folder + "\\blocker\\Tallywick.lock";
    try {
        tw::AcquireWin32InstanceLock(impossible);
        FAIL() << "no error";
    } catch (const tw::Exception& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Unable to create \"" + impossible + "\" file\r\nError: ", 0), 0u)
            << text;
        EXPECT_GT(text.size(), impossible.size() + 30);
    }
}

} // namespace
