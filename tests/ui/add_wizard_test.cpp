// The add wizard's window on the offscreen platform: a scan that runs beside the window and
// stops on request, and the check marks and pages that lead to the result.
#include "dialogs/add_wizard_form.h"
#include "discovery/program_lines.h"
#include "platform/fake/fake_desktop.h"
#include "skin/image_button.h"
#include "skin/item_rows.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "support/file_text.h"
#include "support/temp_dir.h"
#include "support/test_data_folder.h"
#include "ui/main_window.h"
#include "ui/modal_helper.h"
#include "ui/test_program.h"
#include "ui/window_helpers.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using namespace tw;
using twtest::Captions;
using twtest::Child;
using twtest::Click;
using twtest::ClickCheckMark;

const TDateTime Now = EncodeDate(2026, 3, 14) + EncodeTime(10, 0, 0, 0);

// A Complete scan that finds one program, then walks on until told to stop; the running
// programs come after it all the same.
TEST(AddWizardWindow, StopDuringACompleteScanKeepsTheFindsAndAddsTheRunningPrograms) {
    twtest::TestDataFolder folder(Now);
    TOptions options(folder.Data());
    TMonitoredList result;
    std::atomic<bool> walking{false};
    TProgramSources sources;
    sources.countFolders = [](const TFolderProgress& progress) {
        for (int folders = 1; folders <= 3; ++folders) {
            progress(folders, 0);
        }
        return 400;
    };
    sources.complete = [&](std::vector<std::string>& lines, const TFolderProgress& progress) {
        lines.push_back("/opt/game/game=Game");
        for (int folders = 1; folders < 1000000; ++folders) {
            walking = true;
            if (!progress(folders, 1)) {
                throw EAbort();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        lines.push_back("/opt/never/reached=Never");
    };
    sources.running = [](std::vector<std::string>& lines) {
        lines = {"/usr/bin/editor=Editor", "/opt/game/game=Game running"};
    };
    twtest::TestKit kit;
    TfrmAppSiteAddWizard wizard(kit, options, options.Edit().MonitoredList, result, sources);
    wizard.show();
    Click(wizard, "btnNext");
    ASSERT_EQ(wizard.CurrentSheet()->objectName(), "tsAppProcesses");
    Child<QComboBox>(wizard, "cbxScanningAlghorithm")->setCurrentIndex(1);
    auto* scan = Child<TImageButton>(wizard, "btnScan");
    auto* progress = Child<QProgressBar>(wizard, "ggScan");
    auto* filter = Child<QLineEdit>(wizard, "edtFilter");
    auto* found = Child<QListWidget>(wizard, "lbxAppProcesses");
    QTest::mouseClick(scan, Qt::LeftButton);

    // The window keeps handling its events while the walk goes on, and shows how far it got.
    QTRY_VERIFY_WITH_TIMEOUT(walking && wizard.Scan().FolderCount() > 20, 10000);
    EXPECT_EQ(scan->Caption(), "Stop");
    EXPECT_TRUE(progress->isVisible());
    EXPECT_FALSE(filter->isVisible());
    QTRY_VERIFY(progress->text().contains(" of 400 folders, 1 found"));
    EXPECT_GT(progress->value(), 15);
    Click(wizard, "btnNext"); // no leaving the page in the middle of a scan
    EXPECT_EQ(wizard.CurrentSheet()->objectName(), "tsAppProcesses");

    QTest::mouseClick(scan, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(scan->Caption(), QStringLiteral("Scan"), 10000);
    EXPECT_FALSE(wizard.Scan().Running());
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(filter->isVisible());
    // The first source to name a path gives its caption.
    EXPECT_EQ(Captions(*found), (QStringList{"Editor", "Game"}));

    // The filter narrows the list; checking a find and finishing hands it back checked.
    QTest::keyClicks(filter, "gAm");
    EXPECT_EQ(Captions(*found), (QStringList{"Game"}));
    ClickCheckMark(*found, "Game");
    Click(wizard, "btnNext");
    EXPECT_EQ(Captions(*Child<QListWidget>(wizard, "lbxApps")), (QStringList{"Game"}));
    Click(wizard, "btnNext"); // Finish
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    ASSERT_EQ(result.Count(), 1);
    EXPECT_EQ(result.Items(0).Name, "/opt/game/game");
    EXPECT_TRUE(result.Items(0).Checked);
}

// A program typed by its file name alone is kept so, and the info box says which running
// programs it covers now, or that it covers none.
TEST(AddWizardWindow, AFileNameIsKeptAndShowsWhichProgramsItCovers) {
    twtest::TestDataFolder folder(Now);
    TOptions options(folder.Data());
    TMonitoredList result;
    TProgramSources sources;
    sources.running = [](std::vector<std::string>& lines) { lines = {"/usr/bin/editor=Editor"}; };
    sources.pathOf = [](const std::string& path) { return "/resolved/" + path; };
    twtest::TestKit kit;
    TfrmAppSiteAddWizard wizard(kit, options, options.Edit().MonitoredList, result, sources);
    wizard.show();
    Click(wizard, "btnNext");
    Click(wizard, "btnNext");
    for (const char* typed : {"editor", "edtior"}) {
        QTest::keyClicks(Child<QLineEdit>(wizard, "edApp"), typed);
        Click(wizard, "btnAddApp");
    }
    auto* apps = Child<QListWidget>(wizard, "lbxApps");
    auto* info = Child<QPlainTextEdit>(wizard, "mmAppInfoApp");
    apps->setCurrentRow(0);
    EXPECT_TRUE(info->toPlainText().endsWith("\nCovers /usr/bin/editor"));
    apps->setCurrentRow(1);
    EXPECT_TRUE(
        info->toPlainText().endsWith("\nNo running or known program has this file name now."));
    Click(wizard, "btnNext"); // Finish
    EXPECT_EQ(result.Items(0).Name, "editor");
}

// Browse offers only what the system can start, and names a program by what runs: a shell
// wrapper by the program it hands over to, a Windows program by its path in the form the
// system reports the program in front. Anything else is refused in the program's own
// notice, and the boxes stay as they were.
TEST(AddWizardWindow, BrowseTakesOnlyProgramsAndNamesTheOneThatRuns) {
    twtest::TestDataFolder folder(Now);
    twtest::TempDir files;
    const std::string notes = files.File("notes.txt");
    twtest::WriteAll(notes, "not a program\n");
#ifdef _WIN32
    const std::string program = files.File("viewer.exe");
    twtest::WriteAll(program, "MZ");
    const std::string runs = program;
#else
    const std::string program = files.File("viewer");
    twtest::WriteAll(program, "#!/bin/sh\nexec /usr/bin/xprop \"$@\"\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    std::filesystem::permissions(notes, std::filesystem::perms::owner_all); // executable text
    const std::string runs = std::filesystem::canonical("/usr/bin/xprop").string();
#endif
    TOptions options(folder.Data());
    TMonitoredList result;
    TFakeDesktop desktop;
    twtest::TestKit kit;
    TfrmAppSiteAddWizard wizard(kit, options, options.Edit().MonitoredList, result,
                                SystemProgramSources(desktop, folder.Log()));
    wizard.show();
    Click(wizard, "btnNext");
    Click(wizard, "btnNext");
    auto* name = Child<QLineEdit>(wizard, "edApp");
    auto* tag = Child<QLineEdit>(wizard, "edAppTag");
    auto browse = [&](const std::string& file) {
        twtest::TModalAnswer pick(QStringLiteral("dlgBrowse"), [&](QWidget* dialog) {
            auto* files = static_cast<QFileDialog*>(dialog);
            files->selectFile(QString::fromStdString(file));
            // selectFile leaves the name field as it is while that field has the keyboard,
            // which a dialog shown on the offscreen platform gets at times: type it there.
            if (files->selectedFiles().value(0) != QString::fromStdString(file)) {
                files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                    ->setText(QString::fromStdString(file));
            }
            static_cast<QDialog*>(files)->accept();
        });
        Click(wizard, "btnBrowse");
    };
    QString warned;
    {
        twtest::TModalAnswer notice(QStringLiteral("frmWarning"), [&](QWidget* window) {
            warned = Child<QLabel>(*window, "lblWarning")->text();
            static_cast<QDialog*>(window)->accept();
        });
        browse(notes);
    }
    EXPECT_EQ(warned, "\"notes.txt\" is not a program, so it cannot be added to the time-limit "
                      "list");
    EXPECT_EQ(name->text(), "");
    browse(program);
    EXPECT_EQ(name->text().toStdString(), runs);
    EXPECT_FALSE(tag->text().isEmpty());
}

// Sites chosen through the Block window's "your list" go on the list also when the Block
// window is then cancelled, and no Block period starts.
TEST(AddWizardWindow, YourListInTheBlockWindowAddsEvenWhenItIsCancelled) {
    twtest::TestDataFolder folder(Now);
    TFakeDesktop desktop;
    twtest::TTestProgram program(desktop, folder);
    TfrmMain window(program.Kit(), desktop, program.Options(), program.Program());
    bool added = false;
    twtest::TModalAnswer block(QStringLiteral("frmFocusSettings"), [&](QWidget* dialog) {
        twtest::TModalAnswer wizard(QStringLiteral("frmAppSiteAddWizard"), [&](QWidget* shown) {
            QTest::keyClicks(Child<QLineEdit>(*shown, "edURL"), "video.example.net");
            QTest::keyClick(Child<QLineEdit>(*shown, "edURL"), Qt::Key_Return);
            for (int page = 0; page < 3; ++page) {
                Click(*shown, "btnNext"); // to Finish
            }
            added = true;
        });
        QTest::mouseClick(Child<QLabel>(*dialog, "lblAppWizardLink"), Qt::LeftButton);
        Click(*dialog, "btnCancel");
    });
    Click(window, "btnFocus");
    ASSERT_TRUE(added);
    EXPECT_EQ(Captions(*Child<QListWidget>(window, "lbxMain_Applications")),
              QStringList{"video.example.net"});
    EXPECT_EQ(folder.Scalar("settings.sqlite", "SELECT name FROM websites_list"),
              "video.example.net");
    EXPECT_TRUE(Child<QWidget>(window, "pnlMain_FocusTime")->isHidden()); // no Block period
}

} // namespace
