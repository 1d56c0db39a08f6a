#pragma once

#include "monitor/day_part.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QTimer;
class QWidget;

namespace tw {

class TImageButton;
class TImagePanel;
class TOptions;
class TScanEngine;

// The to-do memos as the main window shows them: the main sheet's memo with the selector of
// the part of the day and its marks (which parts have a memo), the Reminders sheet's three
// memos kept in step with it, and the prompt to write them afresh.
class TMemoView {
  public:
    TMemoView(QWidget* window, QWidget* mainSheet, QWidget* reminderSheet, TOptions& options,
              const TScanEngine& engine);

    // Writes the three memos from the options, without storing them back.
    void Load();
    void RefreshMarks();
    // Shows the memo of a part of the day (0 morning, 1 afternoon, 2 evening).
    void SelectDayPart(TDayPart dayPart);
    // The selector changed: its part's memo is shown.
    void DayPartChange();
    // Asks for fresh memos when they are due.
    void PromptTick();

    QPlainTextEdit* SheetMemo(int part) const;
    // The main sheet's memo panel, under which the Lite view ends.
    QWidget* Panel() const;
    QTimer* PromptTimer() const { return tmrReminderChange; }

  private:
    void CreateMainSheetPart(QWidget* sheet);
    void CreateReminderSheet(QWidget* sheet);
    void Connect(QWidget* window);
    void MemoChange();
    void SheetMemoChange(int part);

    TOptions& options_;
    // Set while the program writes the memos, so that their change handlers store nothing
    // back.
    bool updating_ = false;
    bool promptOpen_ = false;
    QWidget* window_;
    // The main sheet's part.
    QLabel* lblReminder;
    TImagePanel* pnlReminderCombo;
    QComboBox* cbxReminder;
    TImageButton* btnReminderCombo;
    TImagePanel* pnlReminder;
    QPlainTextEdit* mmReminder;
    QLabel* imgComboBoxCheck;
    // The Reminders sheet, morning, afternoon and evening.
    QLabel* lblReminderParts[3];
    TImagePanel* pnlReminderParts[3];
    QPlainTextEdit* mmReminderParts[3];
    QTimer* tmrReminderChange;
};

} // namespace tw
