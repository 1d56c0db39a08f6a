#pragma once

class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;

namespace tw {

class TDesktop;
class TImageButton;
class TImagePanel;
class TMonitoredList;
class TOptions;
class TScanEngine;

// The main sheet's lower part: today's list with its time, the buttons that add to it and
// take from it, and the action and limit in force. Its questions are asked over the window
// the sheet stands on.
class TTodaySheet {
  public:
    TTodaySheet(QWidget* sheet, TOptions& options, TScanEngine& engine, TDesktop& desktop);

    // Writes the limit and the action at the limit as the options hold them.
    void ShowLimits();
    // Reads today's list afresh; the chosen row stays chosen.
    void Refresh();
    // Takes the chosen item off the list, where the program allows it and the person
    // confirms.
    void btnApp_DeleteClick();
    // Asks for a new limit and action; true when they changed.
    bool EditLimits();
    // Runs the add wizard over the owner into changes and applies them at once, where the
    // program allows a change; changes is empty afterwards.
    void AddThroughWizard(QWidget* owner, TMonitoredList& changes);
    // Merges what the add wizard handed back into the list and today's list, and saves.
    void ApplyListChanges(const TMonitoredList& changes);

    TImageButton* AddButton() const { return btnApp_Add; }
    TImageButton* DeleteButton() const { return btnApp_Delete; }
    TImageButton* EditButton() const { return btnTimeEdit; }

  private:
    TOptions& options_;
    TScanEngine& engine_;
    TDesktop& desktop_;
    QWidget* window_;
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
