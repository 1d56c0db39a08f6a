#pragma once

#include "items/monitored_item.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QWidget;

namespace tw {

class TAddWizardLists;
class TfrmBase;
class TProgramScan;

// The executables running now or found by the last scan, which a bare file name is shown
// to reach; read when first needed and forgotten when programs may have started or ended.
class TKnownPrograms {
  public:
    TKnownPrograms(const TProgramScan& scan, const TAddWizardLists& lists)
        : scan_(scan), lists_(lists) {}
    const std::vector<std::string>& Get();
    void Forget() { programs_.reset(); }

  private:
    const TProgramScan& scan_;
    const TAddWizardLists& lists_;
    std::optional<std::vector<std::string>> programs_;
};

// What the add wizard's pages share: the window they stand on, the lists they edit and the
// program sources.
struct TAddWizardParts {
    TfrmBase& window;
    TAddWizardLists& lists;
    TProgramScan& scan;
    TKnownPrograms& known;
};

// A page of the add wizard with its list of items with check marks: a check mark or the
// list's Delete menu checks or unchecks the item, and the page shows its list afresh.
class TAddWizardPage : public QObject {
  public:
    explicit TAddWizardPage(const TAddWizardParts& parts) : parts_(parts) {}

    // Shows the page's list afresh.
    virtual void Refresh() = 0;

  protected:
    // Checks or unchecks an item of the page's list by name; true when it was deactivated
    // instead (its row loses the selection).
    virtual bool SetChecked(const std::string& name, bool checked) = 0;

    // The page's list, with the titles of its two columns above it; its check marks check and
    // uncheck.
    QListWidget* CheckList(QWidget* sheet, const char* name, const QString& accessibleName, int top,
                           int height, QLabel** nameTitle, QLabel** typeTitle,
                           const char* nameLabel, const char* typeLabel);
    // Adds a typed site (mitWeb) or program (mitApp); false when refused or empty.
    bool AddTypedItem(TMonitoredItemType type, const QString& tag, const QString& name);
    // A double-clicked row is put back in the boxes it could have been typed in.
    static void FillFromRow(QListWidget* box, int row, QLineEdit* name, QLineEdit* tag);
    void ShowAppInfo(QListWidget* box, QPlainTextEdit* memo);
    // A Delete menu that unchecks the selected row, as its check mark would.
    void DeleteMenu(QListWidget* box);

    TAddWizardParts parts_;

  private:
    bool ToggleRow(QListWidget* box, int row);
    bool SetItemChecked(QListWidget* box, int row, bool checked);
};

constexpr int AddWizardListWidth = 436;

// The read-only box under an application list that tells what the selected row names.
QPlainTextEdit* InfoMemo(QWidget* sheet, const char* name, const QRect& place);
// Long explanations in a lighter type, so that they keep to their lines.
void PlainFont(QLabel* label);

} // namespace tw
