// Starting at login through the desktops' autostart folders, over folders of the test's own.
#ifndef _WIN32

#include "base/exception.h"
#include "platform/start_at_login.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

namespace fs = std::filesystem;

class StartAtLoginTest : public testing::Test {
  protected:
    StartAtLoginTest() {
        Set("XDG_CONFIG_HOME", (root_.Path() / "config").string(), savedHome_);
        // Two system folders: the first that has the entry decides.
        Set("XDG_CONFIG_DIRS",
            (root_.Path() / "site").string() + ":" + (root_.Path() / "xdg").string(), savedDirs_);
    }
    ~StartAtLoginTest() override {
        Restore("XDG_CONFIG_HOME", savedHome_);
        Restore("XDG_CONFIG_DIRS", savedDirs_);
    }
    static void Set(const char* name, const std::string& value, std::optional<std::string>& saved) {
        if (const char* old = std::getenv(name)) {
            saved = old;
        }
        setenv(name, value.c_str(), 1);
    }
    static void Restore(const char* name, const std::optional<std::string>& saved) {
        if (saved) {
            setenv(name, saved->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    void SystemEntry(const char* folder, const std::string& extra) {
        fs::create_directories(root_.Path() / folder / "autostart");
        twtest::WriteAll((root_.Path() / folder / "autostart" / tw::AutostartEntryName).string(),
                         "[Desktop Entry]\nType=Application\nName=Tallywick\nExec=tallywick\n" +
                             extra);
    }
    fs::path Own() const { return root_.Path() / "config" / "autostart" / tw::AutostartEntryName; }
    // The desktops' own validator: an entry we write must be one they read.
    static bool Valid(const fs::path& entry) {
        return std::system(("desktop-file-validate '" + entry.string() + "' >&2").c_str()) == 0;
    }

    // An executable whose path holds what the entry's Exec line must quote.
    const std::string program_ = "/opt/my tools/100%/$HOME/tally\"wick";
    twtest::TempDir root_;
    std::optional<std::string> savedHome_, savedDirs_;
};

// Without a system entry (a build tree, an install outside the system's folders) turning it
// on writes the person's own entry starting this very executable, whatever its path holds;
// an administrator's hidden system entry counts as none.
TEST_F(StartAtLoginTest, WithoutAStartingSystemEntryOnStartsThisExecutable) {
    SystemEntry("xdg", "Hidden=true\n");
    EXPECT_FALSE(tw::StartsAtLogin());
    tw::SetStartAtLogin(true, program_);
    EXPECT_TRUE(tw::StartsAtLogin());
    const std::string entry = twtest::ReadAll(Own().string());
    EXPECT_NE(entry.find("\nExec=\"/opt/my tools/100%%/\\\\$HOME/tally\\\\\"wick\"\n"),
              std::string::npos)
        << entry;
    EXPECT_TRUE(Valid(Own()));

    tw::SetStartAtLogin(false, program_);
    EXPECT_FALSE(tw::StartsAtLogin());
    EXPECT_NE(twtest::ReadAll(Own().string()).find("\nHidden=true\n"), std::string::npos);
    EXPECT_TRUE(Valid(Own()));
}

// The earlier system folder decides over the later; an entry that cannot be written is
// reported with its path, and what the person had stays.
TEST_F(StartAtLoginTest, TheFirstSystemEntryDecidesAndAFailedWriteKeepsTheOldState) {
    SystemEntry("site", "");
    SystemEntry("xdg", "Hidden=true\n");
    EXPECT_TRUE(tw::StartsAtLogin());
    tw::SetStartAtLogin(true, program_);
    EXPECT_FALSE(fs::exists(Own())); // nothing of the person's own is needed

    fs::create_directories(Own()); // a folder where the entry belongs cannot be replaced
    try {
        tw::SetStartAtLogin(false, program_);
        ADD_FAILURE() << "no error";
    } catch (const tw::Exception& e) {
        EXPECT_NE(std::string(e.what()).find(Own().string()), std::string::npos) << e.what();
    }
    fs::remove(Own());
    EXPECT_TRUE(tw::StartsAtLogin());
    EXPECT_FALSE(fs::exists(Own().string() + ".part"));

    // Turned off by a desktop's own startup settings, in their words; on again removes it.
    twtest::WriteAll(Own().string(), "[Desktop Entry]\nType=Application\nName=Tallywick\n"
                                     "Exec=tallywick\nX-GNOME-Autostart-enabled = false\n");
    EXPECT_FALSE(tw::StartsAtLogin());
    tw::SetStartAtLogin(true, program_);
    EXPECT_TRUE(tw::StartsAtLogin());
    EXPECT_FALSE(fs::exists(Own()));
}

} // namespace

#endif
