#pragma once

#include "items/monitored_list.h"

#include <QObject>

class QLabel;
class QListWidget;
class QWidget;

namespace tw {

class TDesktop;
class TImageButton;
class TOptions;

// The settings wizard's list page: a working copy of the list, added to through the add
// wizard and deleted from as the rights allow; it is written on Apply.
class TSettingsListPage : public QObject {
  public:
    // The desktop names the running programs the add wizard offers.
    TSettingsListPage(QWidget* sheet, QWidget* window, TOptions& options, TDesktop& desktop);

    // Copies the list afresh; items waiting for their removal show dimmed.
    void Load();
    // Without the right to change the list, adding and deleting are not offered.
    void SetEditable(bool editable);
    const TMonitoredList& List() const { return workingList_; }

  private:
    void Refresh();
    void AddClick();
    void DeleteClick();

    QWidget* window_;
    TOptions& options_;
    TDesktop& desktop_;
    TMonitoredList workingList_;
    QLabel *lblAppsInfo = nullptr, *lblAppsName = nullptr, *lblAppsType = nullptr;
    QListWidget* lbxAppSites = nullptr;
    TImageButton *btnApp_Add = nullptr, *btnApp_Delete = nullptr;
};

} // namespace tw
