// Measures the add wizard's scans as a person sees them, with this machine's own sources:
// how long the Fast and the Complete scan take from the Scan button to the filled list, the
// longest time the window's event loop was kept from running (how long the window could not
// respond), and the longest time the progress shown stood still during the Complete scan.
//
//   add_wizard_bench        (on the offscreen platform unless QT_QPA_PLATFORM says otherwise)
#include "dialogs/add_wizard_form.h"
#include "platform/desktop.h"
#include "skin/image_button.h"
#include "skin/window_kit.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "support/test_data_folder.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

using namespace tw;

struct TScanFigures {
    double seconds = 0;
    double longestStall = 0;    // ms between two turns of the event loop
    double longestStillBar = 0; // ms the progress shown did not change
    int rows = 0;
};

TScanFigures Measure(TfrmAppSiteAddWizard& wizard, bool complete) {
    auto* kind = wizard.findChild<QComboBox*>("cbxScanningAlghorithm");
    auto* scan = wizard.findChild<TImageButton*>("btnScan");
    auto* bar = wizard.findChild<QProgressBar*>("ggScan");
    auto* list = wizard.findChild<QListWidget*>("lbxAppProcesses");
    kind->setCurrentIndex(complete ? 1 : 0);
    TScanFigures figures;
    QElapsedTimer clock;
    qint64 lastTurn = 0;
    qint64 lastChange = 0;
    QString shown;
    QTimer beat;
    beat.setInterval(1);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        figures.longestStall = std::max<double>(figures.longestStall, now - lastTurn);
        lastTurn = now;
        const QString progress = bar->text() + QString::number(bar->value());
        if (progress != shown) {
            if (!shown.isEmpty()) {
                figures.longestStillBar =
                    std::max<double>(figures.longestStillBar, now - lastChange);
            }
            shown = progress;
            lastChange = now;
        }
    });
    clock.start();
    beat.start();
    QTest::mouseClick(scan, Qt::LeftButton);
    while (wizard.Scan().Running() || scan->Caption() != "Scan") {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    figures.seconds = clock.elapsed() / 1000.0;
    beat.stop();
    figures.rows = list->count();
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    twtest::TestDataFolder folder(EncodeDate(2026, 3, 14));
    TOptions options(folder.Data());
    TMonitoredList result;
    // The session's own desktop says which running programs own a window.
    const std::unique_ptr<TDesktop> desktop = CreateDesktop();
    TWindowKit kit(folder.Log());
    TfrmAppSiteAddWizard wizard(kit, options, options.Edit().MonitoredList, result,
                                SystemProgramSources(*desktop, folder.Log()));
    wizard.show();
    QTest::mouseClick(wizard.findChild<TImageButton*>("btnNext"), Qt::LeftButton);
    for (const bool complete : {false, true}) {
        const TScanFigures figures = Measure(wizard, complete);
        std::printf("%s scan: %.2f s to the filled list (%d rows); the window's event loop "
                    "waited at most %.0f ms; ",
                    complete ? "Complete" : "Fast", figures.seconds, figures.rows,
                    figures.longestStall);
        if (complete) {
            std::printf("the progress shown stood still at most %.0f ms\n",
                        figures.longestStillBar);
        } else {
            std::printf("\n");
        }
    }
    return 0;
}
