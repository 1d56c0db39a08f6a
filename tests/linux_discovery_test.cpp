// Program discovery on Linux over a prepared tree of menu entries, programs, links and
// wrappers, read through the diagnostic command as a person would run it.
#ifdef __linux__

#include "base/exception.h"
#include "discovery/linux/program_folders.h"
#include "discovery/linux/sandbox_apps.h"
#include "discovery/linux/shell_wrapper.h"
#include "discovery/program_sources.h"
#include "support/child_process.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// A tree of the folders a session reads programs from, under a temporary folder.
class TProgramTree {
  public:
    TProgramTree() : root_(fs::canonical(temp_.Path()).string()) {}

    const std::string& Root() const { return root_; }
    std::string operator/(const std::string& relative) const { return root_ + "/" + relative; }

    void Text(const std::string& relative, const std::string& text, bool executable = false) {
        const std::string path = *this / relative;
        fs::create_directories(fs::path(path).parent_path());
        twtest::WriteAll(path, text);
        fs::permissions(path, executable ? fs::perms(0755) : fs::perms(0644));
    }
    void Copy(const std::string& from, const std::string& relative, bool executable = true) {
        const std::string path = *this / relative;
        fs::create_directories(fs::path(path).parent_path());
        fs::copy_file(from, path, fs::copy_options::overwrite_existing);
        fs::permissions(path, executable ? fs::perms(0755) : fs::perms(0644));
    }
    void Link(const std::string& target, const std::string& relative) {
        const std::string path = *this / relative;
        fs::create_directories(fs::path(path).parent_path());
        fs::create_symlink(target, path);
    }
    void Entry(const std::string& relative, const std::string& body) {
        Text(relative, "[Desktop Entry]\n" + body);
    }

  private:
    twtest::TempDir temp_;
    std::string root_;
};

// An ELF program to copy around.
const std::string Elf = "/usr/bin/sleep";

// The session of the prepared tree: its menu folders, programs and sandboxes.
void Prepare(TProgramTree& tree) {
    // The user's own entries come first: one hides the system's entry of its id.
    tree.Entry("home/.local/share/applications/editor.desktop", "Type=Application\nHidden=true\n");
    tree.Entry("home/.local/share/applications/notes.desktop",
               "Type=Application\nName=Notes\nName[de]=Notizen\nName[fr]=Notes FR\n"
               "Exec=notes %F\n");
    tree.Copy(Elf, "opt/notes/notes-bin");
    tree.Link("../opt/notes/notes-bin", "bin/notes");

    tree.Entry("data1/applications/editor.desktop",
               "Type=Application\nName=Editor\nExec=" + tree / "opt/editor/editor\n");
    tree.Copy(Elf, "opt/editor/editor");
    // The program is a wrapper that execs the real one through its own variables; an
    // earlier exec in a branch, a redirection-only exec and a here-document do not count.
    tree.Entry("data1/applications/wrapped.desktop",
               "Name=Wrapped App\nType=Application\nExec=\"wrapped app\" --flag \"%u\"\n");
    const std::string folder = "DIR=" + tree.Root() + "/opt/$APP\n";
    tree.Text("bin/wrapped app",
              "#!/bin/sh\nAPP=real\n" + folder +
                  "if [ -n \"$DEBUG\" ]; then\n  exec /usr/bin/gdb \"$DIR/$APP-bin\"\nfi\n"
                  "exec >/dev/null 2>&1\n"
                  "exec \"$DIR/${APP}-bin\" \"$@\"\n"
                  "cat <<EOF\nexec /usr/bin/false\nEOF\n",
              true);
    tree.Copy(Elf, "opt/real/real-bin");
    tree.Entry("data1/applications/kde/tool.desktop",
               "Type=Application\nName=Tool\nExec=env LC_ALL=C " + tree / "bin/tool --x\n");
    tree.Copy(Elf, "bin/tool");
    // Left out: a syntax error, a link, a hidden entry, a program that is not installed,
    // wrappers that go round, a script that never execs, a program named twice.
    for (const char* name : {"broken", "quiet", "absent"}) {
        tree.Copy(Elf, std::string("opt/left-out/") + name);
    }
    tree.Text("data1/applications/broken.desktop",
              "[Desktop Entry]\nType=Application\nName=Broken\nExec=" +
                  tree / "opt/left-out/broken\nwrong line\n");
    tree.Entry("data1/applications/link.desktop", "Type=Link\nName=Site\nURL=http://x/\n");
    tree.Entry("data1/applications/quiet.desktop",
               "Type=Application\nName=Quiet\nNoDisplay=true\nExec=" +
                   tree / "opt/left-out/quiet\n");
    tree.Entry("data1/applications/absent.desktop",
               "Type=Application\nName=Absent\nTryExec=no-such-program\nExec=" +
                   tree / "opt/left-out/absent\n");
    tree.Entry("data1/applications/circle.desktop",
               "Type=Application\nName=Circle\nExec=circle-a\n");
    tree.Text("bin/circle-a", "#!/bin/sh\nexec circle-b\n", true);
    tree.Text("bin/circle-b", "#!/bin/bash\nexec circle-a \"$@\"\n", true);
    tree.Entry("data1/applications/script.desktop", "Type=Application\nName=Script\nExec=script\n");
    tree.Text("bin/script", "#!/bin/sh\necho hello\n", true);
    tree.Entry("data2/applications/again.desktop", "Type=Application\nName=Again\nExec=notes\n");
    tree.Entry("data2/applications/loop.desktop", "Type=Application\nName=Loop\nExec=loop\n");
    tree.Link("loop", "bin/loop");
    tree.Link("..", "data2/applications/sub/up");

    // A flatpak application of the user's installation: its entry names the launcher,
    // the program lies inside the sandbox's /app behind a link.
    const std::string flatpak = "home/.local/share/flatpak/";
    tree.Entry(flatpak + "exports/share/applications/org.example.Paint.desktop",
               "Type=Application\nName=Paint\nX-Flatpak=org.example.Paint\n"
               "Exec=/usr/bin/flatpak run --branch=stable --command=paint org.example.Paint\n");
    const std::string app = flatpak + "app/org.example.Paint/";
    tree.Link("x86_64/stable", app + "current");
    tree.Link("0123abcd", app + "x86_64/stable/active");
    tree.Text(app + "x86_64/stable/0123abcd/metadata", "[Application]\ncommand=paint\n");
    tree.Copy(Elf, app + "x86_64/stable/0123abcd/files/lib/paint/paint");
    tree.Link("/app/lib/paint/paint", app + "x86_64/stable/0123abcd/files/bin/paint");
    tree.Text(flatpak + "exports/bin/org.example.Paint",
              "#!/bin/sh\nexec /usr/bin/flatpak run --branch=stable org.example.Paint \"$@\"\n",
              true);

    // The user's program folder for the Complete scan.
    tree.Copy(Elf, "home/.local/bin/tool");
    tree.Copy(Elf, "home/.local/bin/setup-tool");
    tree.Copy(Elf, "home/.local/bin/.hidden/secret");
    tree.Copy(Elf, "home/.local/bin/more/extra");
    tree.Copy("/lib/x86_64-linux-gnu/libm.so.6", "home/.local/bin/libplugin.so");
    tree.Copy(Elf, "home/.local/bin/not-executable", false);
    tree.Text("home/.local/bin/readme.txt", "text\n", true);
    tree.Text("home/.local/bin/launcher", "#!/bin/sh\nexec " + tree / "opt/notes/notes-bin\n",
              true);
    tree.Link("..", "home/.local/bin/more/up");
    tree.Link("self", "home/.local/bin/self");
    tree.Link(tree / "nowhere", "home/.local/bin/broken");
}

std::vector<std::pair<std::string, std::string>> SessionOf(const TProgramTree& tree) {
    return {{"HOME", tree / "home"},
            {"XDG_DATA_HOME", ""},
            {"XDG_DATA_DIRS", tree / "data1" + ":relative/ignored:" + tree / "data2/"},
            {"PATH", tree / "bin:/usr/bin:/bin"},
            {"LANG", "de_AT.UTF-8"},
            {"LC_ALL", ""},
            {"LC_MESSAGES", ""}};
}

// What the diagnostic prints with these arguments in the tree's session.
Lines ProbeLines(const TProgramTree& tree, const std::vector<std::string>& arguments) {
    const std::string output = tree / "probe.out";
    twtest::TChildOptions options;
    options.environment = SessionOf(tree);
    options.stdoutFile = output;
    twtest::TClient probe(arguments, false, std::string(TALLYWICK_BIN_DIR) + "/tallywick-probe",
                          options);
    EXPECT_TRUE(probe.ExitsCleanlyWithin(60000));
    Lines lines;
    std::istringstream text(twtest::ReadAll(output));
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

Lines InTree(const TProgramTree& tree, const Lines& lines) {
    Lines kept;
    for (const std::string& line : lines) {
        if (line.rfind(tree.Root() + "/", 0) == 0 || line.rfind("/app/", 0) == 0) {
            kept.push_back(line);
        }
    }
    return kept;
}

TEST(LinuxDiscovery, FastScanListsWhatTheMenuStartsByTheExecutableThatRuns) {
    TProgramTree tree;
    Prepare(tree);
    EXPECT_EQ(ProbeLines(tree, {"--programs"}),
              (Lines{tree / "opt/notes/notes-bin=Notizen", tree / "bin/tool=Tool",
                     tree / "opt/real/real-bin=Wrapped App", "/app/lib/paint/paint=Paint"}));
}

TEST(LinuxDiscovery, CompleteScanWalksProgramFoldersThenListsTheRunningPrograms) {
    TProgramTree tree;
    Prepare(tree);
    // A program of the tree that runs under the user's account while the scan looks.
    twtest::TClient running({"30"}, false, tree / "home/.local/bin/more/extra");
    ASSERT_TRUE(twtest::WaitUntil([&] {
        return fs::read_symlink("/proc/" + std::to_string(running.Pid()) + "/exe") ==
               tree / "home/.local/bin/more/extra";
    }));
    // Captions come from the menu where an entry names the program; the launcher's
    // program lies outside the folders but is what runs.
    EXPECT_EQ(InTree(tree, ProbeLines(tree, {"--programs", "--complete"})),
              (Lines{tree / "opt/notes/notes-bin=Notizen", tree / "home/.local/bin/tool=tool",
                     tree / "home/.local/bin/more/extra=extra", "/app/lib/paint/paint=Paint",
                     tree / "home/.local/bin/more/extra=extra"}));
}

TEST(LinuxDiscovery, CompleteScanCountsItsFoldersAndStopsKeepingWhatItFound) {
    TProgramTree tree;
    Prepare(tree);
    const std::vector<tw::TProgramRoot> roots{{tree / "home/.local/bin", {}, {}}};
    EXPECT_EQ(tw::CountProgramFolders(roots, {}), 2) << "the root and more/, nothing hidden";

    std::atomic<bool> stop{false};
    std::vector<tw::TScanProgress> told;
    const tw::TScanControl control{[&](const tw::TScanProgress& progress) {
                                       told.push_back(progress);
                                       stop = progress.Folders == 2;
                                   },
                                   &stop};
    Lines lines{"kept=Kept"};
    EXPECT_THROW(tw::WalkProgramFolders(roots, tw::TProgramCaptions({}), "", lines, control),
                 tw::EAbort);
    EXPECT_EQ(lines, (Lines{"kept=Kept", tree / "opt/notes/notes-bin=notes-bin",
                            tree / "home/.local/bin/tool=tool"}));
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told.back().Programs, 2);
}

TEST(LinuxDiscovery, SnapCommandsLeadToTheProgramTheCurrentRevisionRuns) {
    TProgramTree tree;
    tree.Link("12", "snap/paint/current");
    tree.Text("snap/paint/12/meta/snap.yaml", "name: paint\napps:\n  paint:\n    command: bin/run\n"
                                              "  paint-tool:\n    command: usr/bin/tool\n"
                                              "parts:\n  paint:\n    command: wrong\n");
    tree.Text("snap/paint/12/bin/run", "#!/bin/sh\nexec \"$SNAP/usr/lib/paint/paint\" \"$@\"\n",
              true);
    tree.Copy(Elf, "snap/paint/12/usr/lib/paint/paint");
    tree.Copy(Elf, "snap/paint/12/usr/bin/tool");
    EXPECT_EQ(tw::SnapProgram(tree / "snap", "paint"), tree / "snap/paint/12/usr/lib/paint/paint");
    EXPECT_EQ(tw::SnapProgram(tree / "snap", "paint.paint-tool"),
              tree / "snap/paint/12/usr/bin/tool");
    EXPECT_EQ(tw::SnapProgram(tree / "snap", "paint.other"), std::nullopt);
    EXPECT_EQ(tw::SnapProgram(tree / "snap", "absent"), std::nullopt);
}

TEST(LinuxDiscovery, PickedFilesAreProgramsWhenExecutableWithAProgramHeader) {
    TProgramTree tree;
    Prepare(tree);
    EXPECT_TRUE(tw::IsExecutableProgram(tree / "bin/tool"));
    EXPECT_TRUE(tw::IsExecutableProgram(tree / "bin/notes")) << "a link to a program";
    EXPECT_TRUE(tw::IsExecutableProgram(tree / "bin/script"));
    EXPECT_FALSE(tw::IsExecutableProgram(tree / "home/.local/bin/not-executable"));
    EXPECT_FALSE(tw::IsExecutableProgram(tree / "home/.local/bin/readme.txt"));
    EXPECT_FALSE(tw::IsExecutableProgram(tree / "home/.local/bin/libplugin.so"));
    EXPECT_FALSE(tw::IsExecutableProgram(tree / "home/.local/bin/broken"));
    EXPECT_FALSE(tw::IsExecutableProgram(tree / "home/.local/bin/self"));
    EXPECT_FALSE(tw::IsExecutableProgram(tree / "home/.local/bin/more"));
    // What a picked file is listed as: the program that will run.
    EXPECT_EQ(tw::ProgramPathOf(tree / "home/.local/bin/launcher"), tree / "opt/notes/notes-bin");
    EXPECT_EQ(tw::ProgramPathOf(tree / "bin/script"), tree / "bin/script");
}

TEST(LinuxDiscovery, WrapperExecLinesAreReadAsTheShellWouldRunThem) {
    // A quoted text over several lines that mentions exec is no command.
    EXPECT_EQ(tw::WrapperExecProgram("#!/bin/sh\nMSG=\"one\nexec /bin/false\"\n"
                                     "LIB=/usr/lib/x\nexec -a name $LIB/prog --opt\n"),
              "/usr/lib/x/prog");
    EXPECT_EQ(tw::WrapperExecProgram("#!/bin/sh\n[ -x /a ] && exec env A=1 'b c' \"$@\"\n"), "b c");
    EXPECT_EQ(tw::WrapperExecProgram("#!/bin/sh\nexport HERE=/opt/x\nexec \"${HERE}\"/run\n"),
              "/opt/x/run");
    // Only running would tell.
    EXPECT_EQ(tw::WrapperExecProgram("#!/bin/sh\nexec \"$(dirname \"$0\")/prog\"\n"), std::nullopt);
    EXPECT_EQ(tw::WrapperExecProgram("#!/bin/sh\nexec $UNSET/prog\n"), std::nullopt);
    EXPECT_EQ(tw::WrapperExecProgram("#!/bin/sh\nexec /bin/a\nB=$(pwd)\nexec $B/prog\n"),
              std::nullopt);
    EXPECT_EQ(tw::WrapperExecProgram("#!/bin/sh\n# exec /bin/a\nrun /bin/b\n"), std::nullopt);
    EXPECT_TRUE(tw::IsShellScript("#!/usr/bin/env bash\n"));
    EXPECT_FALSE(tw::IsShellScript("#!/usr/bin/python3\nexec('x')\n"));
}

} // namespace

#endif
