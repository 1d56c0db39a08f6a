#include "platform/device_path.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_instance_lock.h"

#include "base/exception.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using tw::TFakeDesktop;
using tw::TWindowHandle;

TEST(DevicePathTest, FirstLetterWhoseDeviceHoldsThePathWins) {
    const std::map<char, std::string> table = {
        {'A', "\\Device\\Floppy0"},          {'C', "\\Device\\HarddiskVolume1"},
        {'D', "\\Device\\HarddiskVolume10"}, {'E', "\\Device\\HarddiskVolume3"},
        {'F', "\\Device\\HarddiskVolume3"},  {'G', ""},
        {'Z', "\\Device\\LanmanRedirector"},
    };
    std::string asked;
    auto query = [&](char letter) {
        asked += letter;
        auto at = table.find(letter);
        return at == table.end() ? std::string() : at->second;
    };
    const std::pair<const char*, const char*> cases[] = {
        {"\\Device\\HarddiskVolume1\\Apps\\a.exe", "C:\\Apps\\a.exe"},
        // a bare prefix test would hand this to C: and make "C:0\Apps\a.exe"
        {"\\Device\\HarddiskVolume10\\Apps\\a.exe", "D:\\Apps\\a.exe"},
        {"\\Device\\HarddiskVolume3\\a.exe", "E:\\a.exe"},
        {"\\Device\\HarddiskVolume1", "C:"},
        {"\\Device\\LanmanRedirector\\srv\\a.exe", "Z:\\srv\\a.exe"},
        {"\\device\\harddiskvolume1\\a.exe", ""},
        {"\\Device\\Floppy0\\a.exe", ""},
        {"\\Device\\HarddiskVolume7\\a.exe", ""},
        {"", ""},
    };
    for (const auto& [device, expected] : cases) {
        EXPECT_EQ(tw::DevicePathToDriveLetter(device, query), expected) << device;
    }
    EXPECT_EQ(asked.find_first_of("AB"), std::string::npos);
}

TEST(FakeDesktopTest, DescriptionsHandOutASnapshotEvenOfWindowsRemovedOnTheWay) {
    TFakeDesktop desk;
    TWindowHandle a = desk.AddWindow(tw::TFakeProcess::Path("C:\\a.exe"));
    TWindowHandle b =
        desk.AddWindow(tw::TFakeProcess::Path("C:\\b.exe"), tw::TBrowserKind::Chrome, "b.example");
    desk.SetForeground(b);
    EXPECT_EQ(desk.WhatIsInFront().address, "b.example");

    std::vector<tw::TWindowFacts> seen;
    desk.SetVisitHook([&](TWindowHandle w) {
        if (w == b) {
            desk.RemoveWindow(b);
        }
    });
    desk.DescribeTopLevelWindows(
        [&](const tw::TWindowFacts& f) { return seen.push_back(f), true; });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].window, a);
    EXPECT_EQ(seen[0].executablePath, "C:\\a.exe");
    EXPECT_EQ(seen[1].window, b);
    EXPECT_EQ(seen[1].executablePath, "Error: The parameter is incorrect.");
    EXPECT_EQ(seen[1].browser, tw::TBrowserKind::Desktop);
    EXPECT_EQ(seen[1].address, "");
    EXPECT_FALSE(desk.Exists(b));
    EXPECT_EQ(desk.WhatIsInFront().window, 0u);
    desk.PostCloseRequest(b);
    desk.PostCloseRequest(a);
    EXPECT_EQ(desk.CloseRequests(), std::vector<TWindowHandle>{a});
}

TEST(FakeDesktopTest, InstanceLockIsExclusiveAcrossLocksSharingARegistry) {
    auto registry = std::make_shared<tw::TFakeLockRegistry>();
    tw::TFakeInstanceLocks first(registry), second(registry), elsewhere;
    auto lock = first.Acquire("/data/Tallywick.lock");
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(second.Acquire("/data/Tallywick.lock"), nullptr);
    EXPECT_NE(elsewhere.Acquire("/data/Tallywick.lock"), nullptr);
    lock->Release();
    lock = second.Acquire("/data/Tallywick.lock");
    EXPECT_NE(lock, nullptr);
    lock.reset(); // dropping the lock releases it too
    EXPECT_TRUE(registry->held.empty());

    registry->creationError = "Access is denied.";
    try {
        first.Acquire("/ro/Tallywick.lock");
        ADD_FAILURE() << "no exception";
    } catch (const tw::Exception& e) {
        EXPECT_STREQ(e.what(),
                     "Unable to create \"/ro/Tallywick.lock\" file\r\nError: Access is denied.");
    }
}

} // namespace
