#include "platform/device_path.h"
#include "platform/fake/fake_desktop.h"

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

TEST(FakeDesktopTest, EnumerationsHandOutSnapshotsEvenOfWindowsRemovedOnTheWay) {
    TFakeDesktop desk;
    TWindowHandle a = desk.AddWindow("A", tw::TFakeProcess::Path("C:\\a.exe"));
    TWindowHandle b = desk.AddWindow("B", tw::TFakeProcess::Path("C:\\b.exe"));
    TWindowHandle a1 = desk.AddChild(a, "A1");
    TWindowHandle a11 = desk.AddChild(a1, "A11");
    TWindowHandle a2 = desk.AddChild(a, "A2");
    desk.SetForeground(b);

    std::vector<TWindowHandle> seen;
    desk.EnumDescendants(a, [&](TWindowHandle w) { return seen.push_back(w), true; });
    EXPECT_EQ(seen, (std::vector<TWindowHandle>{a1, a11, a2}));

    seen.clear();
    desk.SetVisitHook([&](TWindowHandle w) {
        if (w == b) {
            desk.RemoveWindow(b);
        }
    });
    desk.EnumTopLevelWindows([&](TWindowHandle w) { return seen.push_back(w), true; });
    EXPECT_EQ(seen, (std::vector<TWindowHandle>{a, b}));
    EXPECT_FALSE(desk.Exists(b));
    EXPECT_EQ(desk.ForegroundWindow(), 0u);
    EXPECT_EQ(desk.ClassName(b), "");
    EXPECT_EQ(desk.ExecutablePath(b), "Error: The parameter is incorrect.");
    desk.PostCloseRequest(b);
    desk.PostCloseRequest(a11);
    EXPECT_EQ(desk.CloseRequests(), std::vector<TWindowHandle>{a11});
    EXPECT_EQ(desk.ExecutablePath(a11), "C:\\a.exe"); // children belong to the same process
}

TEST(FakeDesktopTest, InstanceLockIsExclusiveAcrossDesktopsSharingARegistry) {
    auto registry = std::make_shared<tw::TFakeLockRegistry>();
    TFakeDesktop first(registry), second(registry), elsewhere;
    auto lock = first.AcquireInstanceLock("/data/Tallywick.lock");
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(second.AcquireInstanceLock("/data/Tallywick.lock"), nullptr);
    EXPECT_NE(elsewhere.AcquireInstanceLock("/data/Tallywick.lock"), nullptr);
    lock->Release();
    lock = second.AcquireInstanceLock("/data/Tallywick.lock");
    EXPECT_NE(lock, nullptr);
    lock.reset(); // dropping the lock releases it too
    EXPECT_TRUE(registry->held.empty());

    registry->creationError = "Access is denied.";
    try {
        first.AcquireInstanceLock("/ro/Tallywick.lock");
        ADD_FAILURE() << "no exception";
    } catch (const tw::Exception& e) {
        EXPECT_STREQ(e.what(),
                     "Unable to create \"/ro/Tallywick.lock\" file\r\nError: Access is denied.");
    }
}

} // namespace
