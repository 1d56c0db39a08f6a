// Starting at login on Windows: the program's menu sets the value in the person's Run key that
// the installer's choice sets, in the form the shell starts a program from.
#include "platform/start_at_login.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

constexpr wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Read as the shell reads it at login; empty when the value is not there.
std::wstring RunValue() {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, RunKey, L"Tallywick", RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS) {
        return std::wstring();
    }
    return data;
}

TEST(Win32StartAtLoginTest, TheRunValueStartsTheQuotedProgramUntilTurnedOff) {
    // In a folder with a space and a letter outside every code page's ASCII.
    const std::string program = "C:\\Users\\Zo\xc3\xab\\AppData\\Local\\Programs\\Tallywick\\"
                                "tallywick.exe";
    ASSERT_TRUE(tw::StartAtLoginAvailable());
    tw::SetStartAtLogin(false, program); // whatever an earlier run left
    EXPECT_FALSE(tw::StartsAtLogin());

    tw::SetStartAtLogin(true, program);
    EXPECT_TRUE(tw::StartsAtLogin());
    EXPECT_EQ(RunValue(),
              L"\"C:\\Users\\Zo\u00eb\\AppData\\Local\\Programs\\Tallywick\\tallywick.exe\"");

    tw::SetStartAtLogin(false, program);
    EXPECT_FALSE(tw::StartsAtLogin());
    EXPECT_EQ(RunValue(), L"");
    EXPECT_NO_THROW(tw::SetStartAtLogin(false, program));
}

} // namespace
