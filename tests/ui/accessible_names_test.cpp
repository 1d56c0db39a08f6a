// What a screen reader (and a test driving the desktop's accessibility tools) is told about
// the windows: every control that can be used has a name and the role of what it is.
#include "dialogs/delete_confirm_form.h"
#include "dialogs/error_message_form.h"
#include "dialogs/warning_form.h"
#include "platform/fake/fake_desktop.h"
#include "skin/image_button.h"
#include "skin/link_label.h"
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

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace {

using namespace tw;

// The role a control of this kind must have; nothing for what is not a control.
std::optional<QAccessible::Role> ExpectedRole(QWidget* widget) {
    if (qobject_cast<TImageButton*>(widget)) {
        return QAccessible::Button;
    }
    if (qobject_cast<TLinkLabel*>(widget)) {
        return QAccessible::Link;
    }
    if (qobject_cast<QComboBox*>(widget)) {
        return QAccessible::ComboBox;
    }
    if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget)) {
        return QAccessible::EditableText;
    }
    if (qobject_cast<QListWidget*>(widget)) {
        return QAccessible::List;
    }
    return std::nullopt;
}

TEST(AccessibleNamesTest, EveryControlOfEveryWindowHasANameAndItsRole) {
    twtest::TestDataFolder folder(EncodeDate(2026, 3, 14) + 10 * OneHour);
    TFakeDesktop desktop;
    twtest::TTestProgram program(desktop, folder);
    TOptions& options = program.Options();
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.push_back(
        std::make_unique<TfrmMain>(program.Kit(), desktop, options, program.Program()));
    windows.push_back(std::make_unique<TfrmReminder>(program.Kit(), nullptr));
    windows.push_back(std::make_unique<TfrmFocusSettings>(program.Kit(), nullptr));
    windows.push_back(std::make_unique<TfrmReminderChange>(program.Kit(), nullptr));
    windows.push_back(std::make_unique<TfrmReminderSettings>(program.Kit()));
    windows.push_back(std::make_unique<TfrmTransparencySettings>(program.Kit()));
    windows.push_back(std::make_unique<TfrmDeleteConfirm>(program.Kit()));
    windows.push_back(std::make_unique<TfrmWarning>(program.Kit()));
    windows.push_back(std::make_unique<TfrmErrorMessage>(program.Kit()));

    int controls = 0;
    for (const auto& window : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_FALSE(window->windowTitle().isEmpty()); // what the window manager shows
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const std::optional<QAccessible::Role> role = ExpectedRole(widget);
            if (!role) {
                continue;
            }
            ++controls;
            QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(seen, nullptr) << widget->objectName().toStdString();
            EXPECT_EQ(seen->role(), *role) << widget->objectName().toStdString();
            EXPECT_FALSE(seen->text(QAccessible::Name).trimmed().isEmpty())
                << widget->objectName().toStdString();
            if (*role == QAccessible::Button || *role == QAccessible::Link) {
                EXPECT_TRUE(seen->actionInterface() != nullptr &&
                            seen->actionInterface()->actionNames().contains(
                                QAccessibleActionInterface::pressAction()))
                    << widget->objectName().toStdString();
            }
        }
    }
    EXPECT_GT(controls, 50);
}

} // namespace
