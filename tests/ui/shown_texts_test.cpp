// What the windows show a person reads as written: no doubled blanks and none of the typing
// slips that once stood in them.
#include "dialogs/delete_confirm_form.h"
#include "dialogs/error_message_form.h"
#include "dialogs/settings_form.h"
#include "dialogs/warning_form.h"
#include "platform/fake/fake_desktop.h"
#include "skin/image_button.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "support/test_data_folder.h"
#include "ui/focus_settings.h"
#include "ui/main_window.h"
#include "ui/reminder_change.h"
#include "ui/reminder_form.h"
#include "ui/reminder_settings.h"
#include "ui/test_program.h"
#include "ui/transparency_settings.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace tw;

// Every text a window shows or reads out: labels, buttons, entries, menus, hints, names.
QStringList ShownTexts(QWidget& window) {
    QStringList texts{window.windowTitle()};
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        texts << widget->toolTip() << widget->accessibleName();
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            texts << label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            texts << button->text();
        } else if (auto* picture = qobject_cast<TImageButton*>(widget)) {
            texts << picture->Caption();
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < combo->count(); ++i) {
                texts << combo->itemText(i);
            }
        }
    }
    for (QAction* action : window.findChildren<QAction*>()) {
        texts << action->text();
    }
    return texts;
}

TEST(ShownTextsTest, NoDoubledBlanksOrKnownSlips) {
    twtest::TestDataFolder folder(EncodeDate(2026, 3, 14) + 10 * OneHour);
    TFakeDesktop desktop;
    twtest::TTestProgram program(desktop, folder);
    TOptions& options = program.Options();
    std::unique_ptr<QWidget> windows[] = {
        std::make_unique<TfrmMain>(program.Kit(), desktop, options, program.Program()),
        std::make_unique<TfrmReminder>(program.Kit(), nullptr),
        std::make_unique<TfrmFocusSettings>(program.Kit(), nullptr),
        std::make_unique<TfrmReminderChange>(program.Kit(), nullptr),
        std::make_unique<TfrmReminderSettings>(program.Kit()),
        std::make_unique<TfrmTransparencySettings>(program.Kit()),
        std::make_unique<TfrmDeleteConfirm>(program.Kit()),
        std::make_unique<TfrmWarning>(program.Kit()),
        std::make_unique<TfrmErrorMessage>(program.Kit()),
        std::make_unique<TfrmSettings>(program.Kit(), options, desktop),
    };
    QStringList reminderTexts{QString::fromLatin1(ReminderText(true, {}))};
    for (const TExpirationAction action :
         {TExpirationAction::ReminderOnly, TExpirationAction::CloseListed,
          TExpirationAction::ShutdownComputer}) {
        reminderTexts << QString::fromLatin1(ReminderText(false, action));
    }
    const char* const slips[] = {"wihout", "an site", "choose filename."};
    auto check = [&](const QStringList& texts) {
        int seen = 0;
        for (const QString& text : texts) {
            seen += text.isEmpty() ? 0 : 1;
            EXPECT_FALSE(text.contains(QStringLiteral("  "))) << text.toStdString();
            EXPECT_NE(text, QStringLiteral("Please note")); // the caption is "Please Note"
            for (const char* slip : slips) {
                EXPECT_FALSE(text.contains(QString::fromLatin1(slip))) << text.toStdString();
            }
        }
        return seen;
    };
    EXPECT_EQ(check(reminderTexts), 4);
    int seen = 0;
    for (const auto& window : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        seen += check(ShownTexts(*window));
    }
    EXPECT_GT(seen, 200);
}

} // namespace
