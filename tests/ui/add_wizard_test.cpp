// The add wizard's window on the offscreen platform: a scan that runs beside the window and
// stops on request, and the check marks and pages that lead to the result.
#include "dialogs/add_wizard_form.h"
#include "discovery/program_lines.h"
#include "skin/image_button.h"
#include "skin/item_rows.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "support/test_data_folder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace tw;

const TDateTime Now = EncodeDate(2026, 3, 14) + EncodeTime(10, 0, 0, 0);

QStringList Captions(const QListWidget& box) {
    QStringList captions;
    for (int row = 0; row < box.count(); ++row) {
        if (RowItem(box, row) != nullptr) {
            captions << box.item(row)->text();
        }
    }
    return captions;
}

void ClickCheckMark(QListWidget& box, const QString& caption) {
    const auto rows = box.findItems(caption, Qt::MatchExactly);
    ASSERT_EQ(rows.size(), 1) << caption.toStdString();
    const QRect place = box.visualItemRect(rows.first());
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {},
                      QPoint(place.right() - 6, place.center().y()));
}

// A Complete scan that finds one program, then walks on until told to stop; the running
// programs come after it all the same.
TEST(AddWizardWindow, StopDuringACompleteScanKeepsTheFindsAndAddsTheRunningPrograms) {
    twtest::TestDataFolder folder(Now);
    TOptions options;
    TMonitoredList result;
    std::atomic<bool> walking{false};
    TProgramSources sources;
    sources.CountFolders = [](const TFolderProgress& progress) {
        for (int folders = 1; folders <= 3; ++folders) {
            progress(folders);
        }
        return 400;
    };
    sources.Complete = [&](std::vector<std::string>& lines, const TFolderProgress& progress) {
        lines.push_back("/opt/game/game=Game");
        for (int folders = 1; folders < 1000000; ++folders) {
            walking = true;
            if (!progress(folders)) {
                throw EAbort();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        lines.push_back("/opt/never/reached=Never");
    };
    sources.Running = [](std::vector<std::string>& lines) {
        lines = {"/usr/bin/editor=Editor", "/opt/game/game=Game running"};
    };
    TfrmAppSiteAddWizard wizard(options, options.MonitoredList, result, sources);
    wizard.show();
    wizard.StepNext();
    ASSERT_EQ(wizard.CurrentSheet(), wizard.tsAppProcesses);
    wizard.cbxScanningAlghorithm->setCurrentIndex(1);
    QTest::mouseClick(wizard.btnScan, Qt::LeftButton);

    // The window keeps handling its events while the walk goes on, and shows how far it got.
    QTRY_VERIFY_WITH_TIMEOUT(walking && wizard.Scan().FolderCount() > 20, 10000);
    EXPECT_EQ(wizard.btnScan->Caption(), "Stop");
    EXPECT_TRUE(wizard.ggScan->isVisible());
    EXPECT_FALSE(wizard.edtFilter->isVisible());
    QTRY_VERIFY(wizard.ggScan->text().contains(" of 400 folders"));
    EXPECT_GT(wizard.ggScan->value(), 15);
    wizard.StepNext(); // no leaving the page in the middle of a scan
    EXPECT_EQ(wizard.CurrentSheet(), wizard.tsAppProcesses);

    QTest::mouseClick(wizard.btnScan, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(wizard.btnScan->Caption(), QStringLiteral("Scan"), 10000);
    EXPECT_FALSE(wizard.Scan().Running());
    EXPECT_FALSE(wizard.ggScan->isVisible());
    EXPECT_TRUE(wizard.edtFilter->isVisible());
    // The first source to name a path gives its caption.
    EXPECT_EQ(Captions(*wizard.lbxAppProcesses), (QStringList{"Editor", "Game"}));

    // The filter narrows the list; checking a find and finishing hands it back checked.
    QTest::keyClicks(wizard.edtFilter, "gAm");
    EXPECT_EQ(Captions(*wizard.lbxAppProcesses), (QStringList{"Game"}));
    ClickCheckMark(*wizard.lbxAppProcesses, "Game");
    wizard.StepNext();
    EXPECT_EQ(Captions(*wizard.lbxApps), (QStringList{"Game"}));
    wizard.StepNext();
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    ASSERT_EQ(result.Count(), 1);
    EXPECT_EQ(result.Items(0).Name, "/opt/game/game");
    EXPECT_TRUE(result.Items(0).Checked);
}

} // namespace
