#include "dialogs/add_wizard_page.h"

#include "base/text.h"
#include "dialogs/check_list_rows.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/guarded.h"
#include "dialogs/program_scan.h"
#include "discovery/program_lines.h"
#include "items/program_match.h"
#include "monitor/add_wizard_lists.h"
#include "skin/base_form.h"
#include "skin/image_panel.h"
#include "skin/item_rows.h"
#include "skin/pictures.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace tw {

namespace {

constexpr int TypeWidth = 56;
constexpr int NameWidth = AddWizardListWidth - TypeWidth - TCheckListDelegate::CheckWidth;

} // namespace

const std::vector<std::string>& TKnownPrograms::Get() {
    if (!programs_) {
        std::vector<std::string> lines;
        if (scan_.Sources().running) {
            scan_.Sources().running(lines);
        }
        programs_.emplace();
        for (const std::string& line : lines) {
            programs_->push_back(ProgramLinePath(line));
        }
        for (int i = 0; i < lists_.ScanResults.Count(); ++i) {
            programs_->push_back(lists_.ScanResults.Items(i).Name);
        }
    }
    return *programs_;
}

QListWidget* TAddWizardPage::CheckList(QWidget* sheet, const char* name,
                                       const QString& accessibleName, int top, int height,
                                       QLabel** nameTitle, QLabel** typeTitle,
                                       const char* nameLabel, const char* typeLabel) {
    *nameTitle = MakeLabel(sheet, nameLabel, QStringLiteral("Name"), 24, top);
    *typeTitle = MakeLabel(sheet, typeLabel, QStringLiteral("Type"), 22 + NameWidth + 14, top);
    QListWidget* box =
        MakeListBox(sheet, name, accessibleName, QRect(22, top + 22, AddWizardListWidth, height));
    box->setItemDelegate(new TCheckListDelegate(NameWidth, true, &parts_.window));
    WatchCheckMarks(*box, [this, box](int row) { return ToggleRow(box, row); });
    return box;
}

bool TAddWizardPage::AddTypedItem(TMonitoredItemType type, const QString& tag,
                                  const QString& name) {
    std::string typed = name.toStdString();
    // Blanks name nothing a person could mean.
    if (Trim(typed).empty()) {
        return false;
    }
    // A program is matched by the path the system runs it under, not by a link or a
    // wrapper script the person may have typed.
    if (type == TMonitoredItemType::mitApp && parts_.scan.Sources().pathOf &&
        !IsBareProgramName(typed)) {
        typed = parts_.scan.Sources().pathOf(typed);
    }
    const TAddOutcome outcome = parts_.lists.AddTypedItem(type, tag.toStdString(), typed);
    if (!outcome.warning.empty()) {
        parts_.window.ShowWarning(QString::fromStdString(outcome.warning),
                                  QString::fromStdString(outcome.warningCaption));
    }
    if (outcome.added) {
        Refresh();
    }
    return outcome.added;
}

bool TAddWizardPage::ToggleRow(QListWidget* box, int row) {
    bool select = true;
    Guarded(&parts_.window, [&] {
        const TMonitoredItem* item = RowItem(*box, row);
        if (item) {
            select = SetItemChecked(box, row, !item->Checked);
        }
    });
    return select;
}

bool TAddWizardPage::SetItemChecked(QListWidget* box, int row, bool checked) {
    const TMonitoredItem* item = RowItem(*box, row);
    if (item == nullptr) {
        return true;
    }
    const std::string name = item->Name; // the row goes when the list is shown again
    const bool deactivated = SetChecked(name, checked);
    Refresh();
    return !deactivated;
}

void TAddWizardPage::ShowAppInfo(QListWidget* box, QPlainTextEdit* memo) {
    const TMonitoredItem* item = RowItem(*box, box->currentRow());
    if (!item) {
        memo->clear();
        return;
    }
    std::string text = item->Caption + "\n" + item->Name;
    // A bare file name matches wherever the program lies, so the person is shown what it
    // reaches, and told when a typing slip leaves it reaching nothing. The box shows two
    // lines: the coverage takes the second.
    if (IsBareProgramName(item->Name)) {
        const std::vector<std::string> covered = ProgramsCovered(item->Name, parts_.known.Get());
        text = item->Caption == item->Name ? item->Name : item->Caption + " (" + item->Name + ")";
        if (covered.empty()) {
            text += "\nNo running or known program has this file name now.";
        } else {
            text += "\nCovers " + covered.front();
            for (std::size_t i = 1; i < covered.size(); ++i) {
                text += ", " + covered[i];
            }
        }
    }
    memo->setPlainText(QString::fromStdString(text));
}

void TAddWizardPage::FillFromRow(QListWidget* box, int row, QLineEdit* name, QLineEdit* tag) {
    const TMonitoredItem* item = RowItem(*box, row);
    if (item == nullptr) {
        return;
    }
    name->setText(QString::fromStdString(item->Name));
    tag->setText(item->Caption == item->Name ? QString() : QString::fromStdString(item->Caption));
}

void TAddWizardPage::DeleteMenu(QListWidget* box) {
    auto* action = new QAction(QStringLiteral("&Delete"), box);
    action->setObjectName(box->objectName() + QStringLiteral("_Delete"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    action->setShortcutContext(Qt::WidgetShortcut);
    box->addAction(action);
    box->setContextMenuPolicy(Qt::ActionsContextMenu);
    // Each list's menu serves its own selection: the row is unchecked as by its check mark.
    connect(action, &QAction::triggered, this, [this, box] {
        Guarded(&parts_.window, [this, box] {
            const int row = box->currentRow();
            if (RowItem(*box, row) != nullptr) {
                SetItemChecked(box, row, false);
            }
        });
    });
}

QPlainTextEdit* InfoMemo(QWidget* sheet, const char* name, const QRect& place) {
    auto* panel = new TImagePanel(sheet);
    panel->SetBackground(TPicture::FromResource(QStringLiteral("panel_pill")));
    panel->SetSideWidth(8);
    panel->SetSideHeight(8);
    panel->setGeometry(place.adjusted(-6, -4, 6, 4));
    auto* memo = new QPlainTextEdit(sheet);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setAccessibleName(QStringLiteral("Application Info"));
    memo->setGeometry(place);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setStyleSheet(QStringLiteral("background: transparent;"));
    QPalette colours = memo->palette();
    colours.setColor(QPalette::Text, TfrmBase::DesignFontColor);
    memo->setPalette(colours);
    return memo;
}

void PlainFont(QLabel* label) {
    QFont plain = label->font();
    plain.setPixelSize(12);
    plain.setBold(false);
    label->setFont(plain);
}

} // namespace tw
