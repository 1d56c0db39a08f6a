// The text rules of program discovery, which hold on every system.
#include "discovery/program_lines.h"
#include "discovery/scan_roots.h"
#include "discovery/shortcut_bytes.h"

#include <gtest/gtest.h>

namespace {

using Roots = std::vector<std::string>;

TEST(DiscoveryTextTest, FolderAndFileNameTexts) {
    EXPECT_EQ(tw::IncludeTrailingDelimiter(""), "");
    EXPECT_EQ(tw::IncludeTrailingDelimiter("C:\\Apps"), "C:\\Apps\\");
    EXPECT_EQ(tw::IncludeTrailingDelimiter("C:\\Apps\\"), "C:\\Apps\\");
    EXPECT_EQ(tw::ParentFolder("C:\\Program Files"), "C:");
    EXPECT_EQ(tw::ParentFolder("C:\\Program Files\\"), "C:");
    EXPECT_EQ(tw::ParentFolder("D:\\Apps/Tools/"), "D:\\Apps");
    EXPECT_EQ(tw::FileNameWithoutExtension("C:\\A.B\\my.app.exe"), "my.app");
    EXPECT_EQ(tw::FileNameWithoutExtension("C:\\A.B\\noext"), "noext");
    EXPECT_EQ(tw::ExtractFileExt("C:\\A.B\\noext"), "");
    EXPECT_EQ(tw::ProgramLine("C:\\x.exe", "X"), "C:\\x.exe=X");
}

TEST(DiscoveryTextTest, ShortcutTargetsThatAreOffered) {
    EXPECT_TRUE(tw::IsOfferedShortcutTarget("C:\\Program Files\\Editor\\EDIT.EXE"));
    EXPECT_FALSE(tw::IsOfferedShortcutTarget("C:\\Program Files\\Editor\\readme.txt"));
    EXPECT_FALSE(tw::IsOfferedShortcutTarget("http://example.org/"));
    EXPECT_FALSE(tw::IsOfferedShortcutTarget("C:\\Program Files\\Editor\\Unins000.exe"));
    EXPECT_FALSE(tw::IsOfferedShortcutTarget("C:\\Downloads\\EditorSetup.exe"));
    // Only the file name counts for the words, not the folders above it.
    EXPECT_TRUE(tw::IsOfferedShortcutTarget("C:\\Setup Files\\editor.exe"));
    EXPECT_FALSE(tw::IsOfferedShortcutTarget("C:\\Windows\\Installer\\{1234-5678}\\icon.exe"));
    EXPECT_TRUE(tw::IsOfferedShortcutTarget("C:\\Windows\\installer\\{1234-5678}\\icon.exe"))
        << "the installer cache test is case-sensitive";
}

TEST(DiscoveryTextTest, WalkedExecutablesThatAreOffered) {
    EXPECT_TRUE(tw::IsOfferedWalkedExecutable("game.exe"));
    for (const char* name : {"setup.exe", "Install.exe", "uninst.exe", "MyInstaller.exe"}) {
        EXPECT_FALSE(tw::IsOfferedWalkedExecutable(name)) << name;
    }
}

TEST(DiscoveryTextTest, CaptionFromVersionStrings) {
    EXPECT_EQ(tw::CaptionFromVersionStrings("Text Editor", "Suite", "edit", "C:\\e.exe"),
              "Text Editor");
    EXPECT_EQ(tw::CaptionFromVersionStrings("   ", "Suite", "edit", "C:\\e.exe"), "Suite");
    EXPECT_EQ(tw::CaptionFromVersionStrings("", "", "edit", "C:\\e.exe"), "edit");
    EXPECT_EQ(tw::CaptionFromVersionStrings("", " ", "", "C:\\Tools\\my.tool.exe"), "my.tool");
}

TEST(DiscoveryTextTest, RootsFromUninstallValues) {
    EXPECT_EQ(tw::RootFromUninstallValue("D:\\Games\\Foo\\foo.exe"), "D:\\Games\\Foo\\");
    EXPECT_EQ(tw::RootFromUninstallValue("\"D:\\Games\\Foo\\unins000.exe\" /SILENT"),
              "D:\\Games\\Foo\\");
    EXPECT_EQ(tw::RootFromUninstallValue("D:\\Games\\Foo\\foo.exe,0"), "D:\\Games\\Foo\\");
    EXPECT_EQ(tw::RootFromUninstallValue("D:\\Games\\Foo\\lib\\core.dll and D:\\x.exe"),
              "D:\\Games\\Foo\\lib\\");
    EXPECT_EQ(tw::RootFromUninstallValue("D:\\Games\\Foo"), "D:\\Games\\Foo\\");
    EXPECT_EQ(tw::RootFromUninstallValue("D:\\Games\\Foo\\"), "D:\\Games\\Foo\\");
    EXPECT_EQ(tw::RootFromUninstallValue("D:\\"), "D:\\");
    EXPECT_EQ(tw::RootFromUninstallValue("D:\\Games\\Foo\\readme.txt"), "D:\\Games\\Foo\\");
    EXPECT_EQ(tw::RootFromUninstallValue("MsiExec.exe /X{1234}"), "");
    EXPECT_EQ(tw::RootFromUninstallValue("Foo Games Inc."), "");
    EXPECT_EQ(tw::RootFromUninstallValue(":\\odd"), "");
    // The first ".exe" of the whole value ends the path, even before the drive letter.
    EXPECT_EQ(tw::RootFromUninstallValue("run.exe D:\\Games\\Foo\\foo.exe"), "");
    EXPECT_EQ(tw::RootFromUninstallValue(""), "");
}

TEST(DiscoveryTextTest, ExcludedFoldersAndAddingRoots) {
    const Roots excluded = tw::ExcludedFolders("C:\\Program Files", "C:\\Windows");
    EXPECT_EQ(excluded, (Roots{"C:\\Program Files\\", "C:\\Windows\\", "C:\\Windows\\system32\\",
                               "C:\\PROGRA~1\\"}));
    Roots roots;
    tw::AddRoot(roots, "D:\\Games\\Foo\\", excluded);
    tw::AddRoot(roots, "d:\\games\\foo\\", excluded);           // the same, letter case aside
    tw::AddRoot(roots, "C:\\program files\\Foo\\", excluded);   // inside Program Files
    tw::AddRoot(roots, "C:\\PROGRA~1\\Foo\\", excluded);        // the same by its short name
    tw::AddRoot(roots, "C:\\WINDOWS\\system32\\x\\", excluded); // the system's own
    tw::AddRoot(roots, "E:\\", excluded);                       // a whole drive
    tw::AddRoot(roots, "", excluded);
    tw::AddRoot(roots, "E:\\Tools\\", excluded);
    EXPECT_EQ(roots, (Roots{"D:\\Games\\Foo\\", "E:\\Tools\\"}));

    // A folder the registry did not name excludes nothing instead of everything.
    Roots unnamed;
    tw::AddRoot(unnamed, "D:\\Games\\", tw::ExcludedFolders("", "C:\\Windows"));
    EXPECT_EQ(unnamed, Roots{"D:\\Games\\"});
}

TEST(DiscoveryTextTest, PruningKeepsTheOuterFolders) {
    Roots roots{"D:\\Games\\Foo\\", "C:\\Program Files\\", "d:\\games\\",
                "D:\\Games\\Bar\\", "D:\\Gamesroom\\",     "C:\\Apps\\"};
    tw::PruneRoots(roots);
    EXPECT_EQ(roots,
              (Roots{"C:\\Apps\\", "C:\\Program Files\\", "d:\\games\\", "D:\\Gamesroom\\"}));
    Roots empty;
    tw::PruneRoots(empty);
    EXPECT_TRUE(empty.empty());
}

std::string Utf16(const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::string Counted(const std::string& ascii) {
    return std::string(1, static_cast<char>(ascii.size() & 0xFF)) +
           std::string(1, static_cast<char>(ascii.size() >> 8)) + Utf16(ascii);
}

TEST(DiscoveryTextTest, RelativePathRecoveredFromAShortcutsBytes) {
    const std::string path = "..\\..\\Program Files\\App\\app.exe";
    const std::string bytes =
        std::string("L\0\0\0", 4) + std::string(40, '\x01') + Counted(path) + Counted("C:\\x");
    const auto found = tw::RelativePathInShortcut(bytes);
    ASSERT_TRUE(found);
    EXPECT_EQ(std::string(found->begin(), found->end()), path);

    // A length that counts the terminating zero as well.
    const std::string counted = "..\\.\\a.exe";
    std::string withZero = std::string(4, 'x') +
                           std::string(1, static_cast<char>(counted.size() + 1)) +
                           std::string(1, '\0') + Utf16(counted) + std::string(2, '\0');
    const auto zeroFound = tw::RelativePathInShortcut(withZero);
    ASSERT_TRUE(zeroFound);
    EXPECT_EQ(std::string(zeroFound->begin(), zeroFound->end()), counted);

    EXPECT_FALSE(tw::RelativePathInShortcut(std::string(64, '\0')));
    EXPECT_FALSE(tw::RelativePathInShortcut(""));
    // A length that runs past the end of the file is not trusted.
    std::string cut = std::string(8, 'x') + Counted(path);
    cut.resize(cut.size() - 2);
    EXPECT_FALSE(tw::RelativePathInShortcut(cut));
    // The search starts at the third byte: a marker at the very start has no length.
    EXPECT_FALSE(tw::RelativePathInShortcut(Utf16("..\\.x")));
    // One that starts at the third byte has its length in the first two.
    const auto early = tw::RelativePathInShortcut(Counted("..\\.x"));
    ASSERT_TRUE(early);
    EXPECT_EQ(early->size(), 5u);
}

TEST(DiscoveryTextTest, RelativePathsResolvedAgainstTheShortcutsFolder) {
    const std::string folder = "C:\\Users\\Me\\Start Menu\\Programs\\App\\";
    EXPECT_EQ(tw::AbsolutePathFrom(folder, "..\\..\\..\\..\\..\\Program Files\\App\\app.exe"),
              "C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(tw::AbsolutePathFrom(folder, ".\\app.exe"), folder + "app.exe");
    // Climbing above the drive stops at its root.
    EXPECT_EQ(tw::AbsolutePathFrom("C:\\A\\", "..\\..\\..\\x.exe"), "C:\\x.exe");
    EXPECT_EQ(tw::AbsolutePathFrom(folder, "D:\\Other\\.\\y.exe"), "D:\\Other\\y.exe");
}

} // namespace
