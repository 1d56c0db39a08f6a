// Every window's content keeps the same margin on its right as on its left: a control laid
// out for a wider window runs into the frame.
#include "dialogs/add_wizard_form.h"
#include "dialogs/delete_confirm_form.h"
#include "dialogs/error_message_form.h"
#include "dialogs/failure_notice_form.h"
#include "dialogs/password_change_form.h"
#include "dialogs/password_check_form.h"
#include "dialogs/settings_form.h"
#include "dialogs/warning_form.h"
#include "platform/fake/fake_desktop.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "support/test_data_folder.h"
#include "ui/focus_settings.h"
#include "ui/modal_helper.h"
#include "ui/reminder_change.h"
#include "ui/reminder_form.h"
#include "ui/reminder_settings.h"
#include "ui/test_look.h"
#include "ui/transparency_settings.h"
#include "ui/window_helpers.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>

namespace {

using namespace tw;

struct TMargins {
    int left = INT_MAX;
    int right = INT_MAX;
};

// The room left and right of the controls below the header. Panels as wide as the window
// are backgrounds and pages, not content; the parts of a list or a combo lie inside it.
TMargins ContentMargins(const QWidget& window) {
    TMargins margins;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&window) || control->width() >= window.width() - 2) {
            continue;
        }
        const QWidget* parent = control->parentWidget();
        const bool part =
            qobject_cast<const QComboBox*>(parent) != nullptr ||
            qobject_cast<const QAbstractScrollArea*>(parent) != nullptr ||
            (parent != nullptr && qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()));
        const QRect place(control->mapTo(&window, QPoint(0, 0)), control->size());
        if (part || place.top() < TfrmBase::HeaderHeight) {
            continue;
        }
        margins.left = std::min(margins.left, place.left());
        margins.right = std::min(margins.right, window.width() - 1 - place.right());
    }
    return margins;
}

void ExpectEvenMargins(const QWidget& window, const QString& where) {
    const TMargins margins = ContentMargins(window);
    EXPECT_LE(std::abs(margins.left - margins.right), 1)
        << where.toStdString() << ": left " << margins.left << ", right " << margins.right;
}

// The windows with pages are checked page by page, as their own buttons turn them.
TEST(WindowMargins, EveryWindowKeepsTheSameMarginOnBothSides) {
    twtest::TestDataFolder folder(EncodeDate(2026, 3, 14) + EncodeTime(10, 0, 0, 0));
    twtest::TestLook look(folder.Appearance());
    TOptions options(folder.Data());
    TFakeDesktop desktop;
    const std::vector<std::function<std::unique_ptr<QWidget>()>> windows = {
        [] { return std::make_unique<TfrmReminder>(nullptr); },
        [] { return std::make_unique<TfrmReminderSettings>(); },
        [] { return std::make_unique<TfrmReminderChange>(nullptr); },
        [] { return std::make_unique<TfrmFocusSettings>(nullptr); },
        [] { return std::make_unique<TfrmTransparencySettings>(); },
        [] { return std::make_unique<TfrmDeleteConfirm>(); },
        [] { return std::make_unique<TfrmErrorMessage>(); },
        [] { return std::make_unique<TfrmFailureNotice>(); },
        [] { return std::make_unique<TfrmWarning>(); },
        [&] { return std::make_unique<TfrmPasswordChange>(options); },
        [&] { return std::make_unique<TfrmPasswordCheck>(options); },
    };
    for (const auto& make : windows) {
        const std::unique_ptr<QWidget> window = make();
        window->show();
        ExpectEvenMargins(*window, window->objectName());
    }

    TMonitoredList result;
    TfrmAppSiteAddWizard wizard(options, options.MonitoredList, result, TProgramSources{});
    wizard.show();
    for (int page = 0; page < 3; ++page) {
        ExpectEvenMargins(wizard, "add wizard " + wizard.CurrentSheet()->objectName());
        if (page < 2) {
            twtest::Click(wizard, "btnNext");
        }
    }

    int pages = 0;
    twtest::TModalAnswer answer(QStringLiteral("frmSettings"), [&](QWidget* shown) {
        auto& settings = *static_cast<TfrmSettings*>(shown);
        while (settings.isVisible() && pages < 10) {
            ++pages;
            ExpectEvenMargins(settings, "settings " + settings.CurrentSheet()->objectName());
            QTest::keyClick(&settings, Qt::Key_Return);
        }
    });
    TfrmSettings settings(options, desktop);
    settings.ShowSettingsWizard(true);
    EXPECT_GE(pages, 4);
}

} // namespace
