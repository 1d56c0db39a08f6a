#pragma once

class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;

namespace tw {

class TImageButton;
class TImagePanel;
class TOptions;

// The main sheet's lower part: today's list with its time, the buttons that add to it and
// take from it, and the action and limit in force.
class TTodaySheet {
  public:
    explicit TTodaySheet(QWidget* sheet);

    // Writes the limit and the action at the limit as the options hold them.
    void ShowLimits(const TOptions& options);

    QListWidget* List() const { return lbxMain_Applications; }
    QLineEdit* LimitEdit() const { return edtTimeLimit; }
    QLineEdit* ActionEdit() const { return edtAction; }
    TImageButton* AddButton() const { return btnApp_Add; }
    TImageButton* DeleteButton() const { return btnApp_Delete; }
    TImageButton* EditButton() const { return btnTimeEdit; }

  private:
    QLabel* lblMain_Applications;
    TImagePanel* pnlMain_Applications;
    TImagePanel *pnlApp_Name, *pnlApp_Type, *pnlApp_Time;
    QLabel *lblApp_Name, *lblApp_Type, *lblApp_Time;
    TImageButton *btnApp_Add, *btnApp_Delete;
    QListWidget* lbxMain_Applications;
    QLabel* lblAction;
    TImagePanel* pnlAction;
    QLineEdit* edtAction;
    TImageButton* btnTimeEdit;
    QLabel* lblTimeLimit;
    TImagePanel* pnlAfter;
    QLineEdit* edtTimeLimit;
};

} // namespace tw
