// Program discovery's Windows sources against the system (or Wine's prefix): Start-menu
// shortcuts, the Uninstall entries, folder walks, running programs and version captions.
#include "base/text.h"
#include "discovery/program_lines.h"
#include "discovery/win32/file_caption.h"
#include "discovery/win32/install_folders.h"
#include "discovery/win32/running_programs.h"
#include "discovery/win32/start_menu.h"
#include "items/monitored_list.h"
#include "platform/native_path.h"
#include "platform/win32/com_ids.h"
#include "platform/win32/process_image_path.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_text.h"
#include "support/collecting_log.h"
#include "win32_support/test_windows.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::string SystemFile(const char* name) {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
    return path;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& each) { return tw::SameText(each, line); });
}

bool NamesPath(const std::vector<std::string>& lines, const std::string& path) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& each) {
        return tw::SameText(each.substr(0, each.find('=')), path);
    });
}

// Writes a shortcut through the shell's own link object; the names are UTF-8.
void MakeShortcut(const std::string& file, const std::string& target,
                  const std::string& relativePath = "") {
    IShellLinkW* link = nullptr;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IShellLinkW, reinterpret_cast<void**>(&link)));
    link->SetPath(tw::WideText(target).c_str());
    if (!relativePath.empty()) {
        link->SetRelativePath(tw::WideText(relativePath).c_str(), 0);
    }
    IPersistFile* persist = nullptr;
    ASSERT_HRESULT_SUCCEEDED(
        link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)));
    ASSERT_HRESULT_SUCCEEDED(persist->Save(tw::WideText(file).c_str(), TRUE));
    persist->Release();
    link->Release();
}

class Win32DiscoveryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        scratch = std::string(temp) + "tallywick-discovery-" +
                  std::to_string(GetCurrentProcessId()) + "\\";
        fs::create_directories(scratch);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
        for (const std::string& each : cleanUp) {
            fs::remove_all(each, ignored);
        }
        CoUninitialize();
    }
    // A copy of an executable under a name of our choosing.
    std::string ProgramCopy(const std::string& relative) {
        const std::string path = scratch + relative;
        fs::create_directories(fs::path(path).parent_path());
        fs::copy_file(SystemFile("notepad.exe"), path, fs::copy_options::overwrite_existing);
        return path;
    }

    std::string scratch;
    std::vector<std::string> cleanUp;
    twtest::TCollectingLog log;
    const std::vector<std::string>& errors = log.Lines();
};

TEST_F(Win32DiscoveryTest, StartMenuShortcutsGiveProgramsCaptionedByTheShortcut) {
    const std::string menu = SpecialFolder(CSIDL_PROGRAMS) + "\\Tallywick Test\\";
    fs::create_directories(menu);
    cleanUp.push_back(menu);
    const std::string editor = ProgramCopy("Editor\\editor.exe");
    const std::string uninstaller = ProgramCopy("Editor\\unins000.exe");
    MakeShortcut(menu + "Sample Editor.lnk", editor);
    MakeShortcut(menu + "Uninstall Sample Editor.lnk", uninstaller);
    MakeShortcut(menu + "Read Me.lnk", scratch + "Editor\\readme.txt");
    { std::ofstream(menu + "notes.txt") << "not a shortcut"; }

    std::vector<std::string> lines{"kept=Kept"};
    tw::StartMenuPrograms(lines);
    EXPECT_EQ(lines.front(), "kept=Kept") << "the lines are added to";
    EXPECT_TRUE(HasLine(lines, editor + "=Sample Editor"));
    EXPECT_FALSE(NamesPath(lines, uninstaller));
    EXPECT_FALSE(NamesPath(lines, scratch + "Editor\\readme.txt"));
}

// The diagnostic command, built beside the tests, by its path on Wine's drive of the host.
std::string ProbePath() {
    std::string path = "Z:" TALLYWICK_PROBE_PATH;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

TEST_F(Win32DiscoveryTest, TheDiagnosticPrintsTheStartMenusProgramsAsLines) {
    const std::string menu = SpecialFolder(CSIDL_PROGRAMS) + "\\Tallywick Probe Test\\";
    fs::create_directories(menu);
    cleanUp.push_back(menu);
    const std::string editor = ProgramCopy("Probe\\editor.exe");
    MakeShortcut(menu + "Probe Editor.lnk", editor);

    twtest::TTestProcess probe("\"" + ProbePath() + "\" --programs");
    std::vector<std::string> lines;
    for (std::string line = probe.ReadLine(60000); !line.empty(); line = probe.ReadLine(60000)) {
        lines.push_back(line);
    }
    EXPECT_EQ(probe.ExitCodeWithin(10000), 0);
    EXPECT_TRUE(HasLine(lines, editor + "=Probe Editor")) << lines.size() << " lines";
}

TEST_F(Win32DiscoveryTest, InstallerShortcutsLeadToTheProgramTheyKeepRelativeToThemselves) {
    const std::string program = ProgramCopy("Programs\\App\\app.exe");
    const std::string links = scratch + "Menu\\Sub\\";
    fs::create_directories(links);
    // The target points into the installer cache; the program is kept as a relative path.
    MakeShortcut(links + "App.lnk",
                 "C:\\windows\\Installer\\{00000000-1111-2222-3333-444444444444}\\app_icon.exe",
                 "..\\..\\Programs\\App\\app.exe");
    std::ifstream file(links + "App.lnk", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    ASSERT_NE(bytes.find(std::string("\x2E\x00\x2E\x00\x5C\x00\x2E\x00", 8)), std::string::npos)
        << "the shell did not keep a relative path starting ..\\.";
    EXPECT_TRUE(tw::SameText(tw::ShortcutTarget(links + "App.lnk"), program))
        << tw::ShortcutTarget(links + "App.lnk");

    std::vector<std::string> lines;
    tw::ShortcutPrograms({scratch + "Menu"}, lines);
    EXPECT_TRUE(HasLine(lines, program + "=App")) << (lines.empty() ? "" : lines.front());
}

TEST_F(Win32DiscoveryTest, AShortcutThatCannotBeReadEndsTheScanWithTheSystemsError) {
    const std::string links = scratch + "Broken\\";
    fs::create_directories(links);
    { std::ofstream(links + "Broken.lnk", std::ios::binary) << "this is not a shortcut"; }
    std::vector<std::string> lines;
    EXPECT_THROW(tw::ShortcutPrograms({links}, lines), tw::EOSError);
    EXPECT_THROW(tw::ShortcutTarget(links + "Missing.lnk"), tw::EOSError);
}

TEST_F(Win32DiscoveryTest, UninstallEntriesGiveScanRoots) {
    const std::string games = scratch + "Games\\Foo\\";
    ProgramCopy("Games\\Foo\\foo.exe");
    HKEY key = nullptr;
    const char* entry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TallywickTestFoo";
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, entry, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const std::string uninstall = "\"" + games + "unins000.exe\" /SILENT";
    RegSetValueExA(key, "UninstallString", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(uninstall.c_str()),
                   static_cast<DWORD>(uninstall.size() + 1));
    const std::string expandable = "%SystemDrive%\\Elsewhere\\x.exe";
    RegSetValueExA(key, "DisplayIcon", 0, REG_EXPAND_SZ,
                   reinterpret_cast<const BYTE*>(expandable.c_str()),
                   static_cast<DWORD>(expandable.size() + 1));
    RegCloseKey(key);

    const std::vector<std::string> roots = tw::ScanRoots();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, entry);
    EXPECT_TRUE(std::any_of(roots.begin(), roots.end(),
                            [&](const std::string& root) {
                                return tw::LowerAscii(games).find(tw::LowerAscii(root)) == 0;
                            }))
        << "no root holds " << games;
    const std::string programFiles = tw::ProgramFilesDir(tw::LocalComputerName());
    EXPECT_TRUE(std::any_of(roots.begin(), roots.end(), [&](const std::string& root) {
        return tw::SameText(root, programFiles + "\\");
    }));
    EXPECT_FALSE(std::any_of(roots.begin(), roots.end(), [](const std::string& root) {
        return tw::LowerAscii(root).find("elsewhere") != std::string::npos;
    })) << "an expandable string is not read";
}

TEST_F(Win32DiscoveryTest, ProgramFilesFolderAndItsErrors) {
    const std::string programFiles = tw::ProgramFilesDir(tw::LocalComputerName());
    EXPECT_EQ(programFiles.substr(1, 2), ":\\");
    try {
        tw::ProgramFilesDir("NO-SUCH-COMPUTER");
        FAIL() << "no error";
    } catch (const tw::Exception& e) {
        EXPECT_STREQ(e.what(), "Can't open registry on computer NO-SUCH-COMPUTER");
    }
}

TEST_F(Win32DiscoveryTest, FolderWalkCountsAndListsPlainFoldersOnly) {
    const std::string root = scratch + "Walk\\";
    ProgramCopy("Walk\\game.exe");
    ProgramCopy("Walk\\setup.exe");
    ProgramCopy("Walk\\Sub\\tool.exe");
    ProgramCopy("Walk\\Sub\\Deeper\\install.exe");
    ProgramCopy("Walk\\Hidden\\secret.exe");
    SetFileAttributesA((root + "Hidden").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    { std::ofstream(root + "Sub\\readme.txt") << "text"; }

    EXPECT_EQ(tw::CountFolders({root, scratch + "Absent\\"}, {}), 2);
    std::vector<std::string> lines;
    int entered = 0;
    tw::WalkFolders({root}, lines, [&] { return ++entered > 0; });
    EXPECT_EQ(entered, 2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(HasLine(lines, root + "game.exe=" + tw::FileCaption(root + "game.exe")));
    EXPECT_TRUE(NamesPath(lines, root + "Sub\\tool.exe"));

    std::vector<std::string> stopped;
    EXPECT_THROW(tw::WalkFolders({root}, stopped, [] { return false; }), tw::EAbort);
    EXPECT_THROW(tw::CountFolders({root}, [] { return false; }), tw::EAbort);
}

std::string HelperPath() {
    return twtest::OwnFolder() + TALLYWICK_HELPER_NAME;
}

TEST_F(Win32DiscoveryTest, VersionResourcesGiveCaptions) {
    EXPECT_EQ(tw::FileCaption(HelperPath()), "Tallywick Test Helper");
    { std::ofstream(scratch + "plain.exe") << "no resources"; }
    EXPECT_EQ(tw::FileCaption(scratch + "plain.exe"), "plain");
    EXPECT_EQ(tw::FileCaption(scratch + "missing.exe"), "missing");
}

TEST_F(Win32DiscoveryTest, RunningProgramsOfTheUserComeFromTheManagementService) {
    twtest::TTestProcess notepad("notepad.exe");
    twtest::TTestProcess helper("\"" + HelperPath() + "\" window running");
    ASSERT_NE(twtest::WaitForProcessWindow(notepad.Id()), nullptr);
    ASSERT_EQ(helper.ReadLine(), "window");
    std::vector<std::string> lines{"stale=Stale"};
    tw::ProcessesExeNamesGet(tw::LocalComputerName(), lines, log);
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_FALSE(NamesPath(lines, "stale")) << "the lines are replaced";
    const std::string notepadPath = SystemFile("notepad.exe");
    EXPECT_TRUE(HasLine(lines, notepadPath + "=" + tw::FileCaption(notepadPath)));
    EXPECT_TRUE(HasLine(lines, HelperPath() + "=Tallywick Test Helper"));
    // Each path once, however many copies run.
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& line) {
                                return tw::SameText(line.substr(0, line.find('=')), notepadPath);
                            }),
              1);
    // Offered are those that show a window: not this test program, which has none.
    tw::KeepProgramsWithDesktopWindows(lines);
    EXPECT_TRUE(HasLine(lines, HelperPath() + "=Tallywick Test Helper"));
    EXPECT_TRUE(NamesPath(lines, notepadPath));
    EXPECT_FALSE(NamesPath(lines, tw::ProcessImagePath(GetCurrentProcessId())));
}

TEST_F(Win32DiscoveryTest, AProgramInAFolderNoCodePageHoldsIsOfferedAsTheProbeNamesIt) {
    const std::string folder = scratch + twtest::NonAsciiFolderName + "\\";
    const std::string helper = folder + "Ζωή helper.exe";
    fs::create_directories(tw::NativePath(folder));
    fs::copy_file(HelperPath(), tw::NativePath(helper));
    const std::string menu =
        SpecialFolder(CSIDL_PROGRAMS) + "\\" + twtest::NonAsciiFolderName + "\\";
    fs::create_directories(tw::NativePath(menu));
    cleanUp.push_back(menu);
    MakeShortcut(menu + "Ωμέγα Ж.lnk", helper);

    twtest::TTestProcess running("\"" + helper + "\" window running");
    ASSERT_EQ(running.ReadLine(), "window");
    // What the program in front is matched by: the path the desktop reports for it.
    const std::string inFront = tw::ProcessImagePath(running.Id());
    ASSERT_TRUE(tw::SameText(inFront, helper)) << inFront;

    std::vector<std::string> fast;
    tw::StartMenuPrograms(fast);
    EXPECT_TRUE(HasLine(fast, inFront + "=Ωμέγα Ж")) << fast.size() << " lines: " << fast.front();
    std::vector<std::string> complete;
    tw::WalkFolders({folder}, complete, {});
    EXPECT_EQ(complete, std::vector<std::string>{inFront + "=Tallywick Test Helper"});
    std::vector<std::string> shown;
    tw::ProcessesExeNamesGet(tw::LocalComputerName(), shown, log);
    EXPECT_TRUE(HasLine(shown, inFront + "=Tallywick Test Helper"));
}

TEST_F(Win32DiscoveryTest, AnUnreachableManagementServiceIsReportedAndLeavesNoLines) {
    std::vector<std::string> lines{"stale=Stale"};
    tw::ProcessesExeNamesGet("NO-SUCH-COMPUTER", lines, log);
    EXPECT_TRUE(lines.empty());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors.front().find("; ProcessesExeNamesGet: "), std::string::npos) << errors.front();

    // What the Fast scan found stays on the offered list when the service fails.
    std::vector<std::string> startMenu;
    tw::StartMenuPrograms(startMenu);
    tw::TMonitoredList offered;
    tw::FillFromNameValueList(startMenu, offered);
    std::vector<std::string> running{"C:\\stale.exe=Stale"};
    tw::ProcessesExeNamesGet("NO-SUCH-COMPUTER", running, log);
    tw::FillFromNameValueList(running, offered);
    EXPECT_EQ(offered.Count(), static_cast<int>(startMenu.size()));
}

} // namespace
