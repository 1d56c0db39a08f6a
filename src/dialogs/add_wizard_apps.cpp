#include "dialogs/add_wizard_apps.h"

#include "dialogs/check_list_rows.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/guarded.h"
#include "dialogs/program_scan.h"
#include "monitor/add_wizard_lists.h"
#include "platform/file_names.h"
#include "skin/base_form.h"
#include "skin/image_button.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace tw {

TAddAppsPage::TAddAppsPage(QWidget* s, const TAddWizardParts& parts) : TAddWizardPage(parts) {
    const QString prompt =
        QStringLiteral("(Optional) Enter Filename, eg %1 Or File Address eg %2")
            .arg(QString::fromUtf8(ExampleProgramFile()), QString::fromUtf8(ExampleProgramPath()));
    lblApp = MakeLabel(s, "lblApp", prompt, 16, 4);
    PlainFont(lblApp);
    edApp = MakeEdit(s, "edApp", prompt, QRect(16, 24, 448, 30));
    lblAppTag = MakeLabel(s, "lblAppTag", "Tag (optional):", 16, 70);
    edAppTag = MakeEdit(s, "edAppTag", lblAppTag->text(), QRect(134, 62, 128, 30));
    btnBrowse = DialogButton(s, "btnBrowse", QStringLiteral("Browse"), QRect(270, 62, 94, 30));
    btnAddApp = DialogButton(s, "btnAddApp", QStringLiteral("Add"), QRect(370, 62, 94, 30));
    connect(btnBrowse, &TImageButton::clicked, this,
            [this] { Guarded(&parts_.window, [this] { Browse(); }); });
    connect(btnAddApp, &TImageButton::clicked, this,
            [this] { Guarded(&parts_.window, [this] { Add(); }); });
    lbxApps = CheckList(s, "lbxApps", "Applications", 104, 18 * 8 + 2, &lblAppsName, &lblAppsType,
                        "lblAppsName", "lblAppsType");
    connect(lbxApps, &QListWidget::currentRowChanged, this,
            [this] { ShowAppInfo(lbxApps, mmAppInfoApp); });
    connect(lbxApps, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        FillFromRow(lbxApps, lbxApps->row(item), edApp, edAppTag);
    });
    DeleteMenu(lbxApps);
    lblAppInfoApp = MakeLabel(s, "lblAppInfoApp", "Application Info", 16, 282);
    mmAppInfoApp = InfoMemo(s, "mmAppInfoApp", QRect(22, 302, AddWizardListWidth, 36));
}

void TAddAppsPage::Refresh() {
    parts_.known.Forget(); // programs may have started or ended since
    parts_.lists.BuildAppsView();
    ShowCheckList(*lbxApps, parts_.lists.AppsView, TMonitoredItemType::mitApp);
    ShowAppInfo(lbxApps, mmAppInfoApp);
}

bool TAddAppsPage::SetChecked(const std::string& name, bool checked) {
    return parts_.lists.SetAppChecked(name, checked);
}

void TAddAppsPage::Add() {
    if (AddTypedItem(TMonitoredItemType::mitApp, edAppTag->text(), edApp->text())) {
        edApp->clear();
        edAppTag->clear();
    }
    edApp->setFocus();
}

void TAddAppsPage::Browse() {
    QFileDialog dialog(&parts_.window, QStringLiteral("Choose a program"));
    dialog.setObjectName(QStringLiteral("dlgBrowse"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (const QString extension = QString::fromUtf8(ProgramFileExtension()); !extension.isEmpty()) {
        dialog.setNameFilter(QStringLiteral("Executable Files (*.%1)").arg(extension));
        dialog.setDefaultSuffix(extension);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    // Qt names files with forward slashes everywhere; a listed program is matched against
    // the path the system reports, which on Windows has backslashes.
    const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().first());
    const std::string path = chosen.toStdString();
    const TProgramSources& sources = parts_.scan.Sources();
    if (!sources.isProgram(path)) {
        parts_.window.ShowWarning(
            QStringLiteral("\"%1\" is not a program, so it cannot be added to "
                           "the time-limit list")
                .arg(QFileInfo(chosen).fileName()),
            QStringLiteral("Please Note"));
        return;
    }
    edApp->setText(QString::fromStdString(sources.pathOf(path)));
    edAppTag->setText(QString::fromStdString(sources.caption(path)));
}

} // namespace tw
