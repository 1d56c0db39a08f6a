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
#include "ui/reminder_change.h"
#include "ui/reminder_form.h"
#include "ui/reminder_settings.h"
#include "ui/test_look.h"
#include "ui/transparency_settings.h"

#include <QAbstractScrollArea>
#include <QComboBox>

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

// Each page of a paged window on its own, or the window as it is.
void ExpectEvenMargins(QWidget& window) {
    window.show();
    std::vector<QWidget*> pages;
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (child->objectName().startsWith(QStringLiteral("ts"))) {
            pages.push_back(child);
        }
    }
    const auto check = [&window](const QString& where) {
        const TMargins margins = ContentMargins(window);
        EXPECT_LE(std::abs(margins.left - margins.right), 1)
            << where.toStdString() << ": left " << margins.left << ", right " << margins.right;
    };
    if (pages.empty()) {
        check(window.objectName());
        return;
    }
    for (QWidget* page : pages) {
        for (QWidget* other : pages) {
            other->setVisible(other == page);
        }
        check(window.objectName() + "/" + page->objectName());
    }
}

TEST(WindowMargins, EveryWindowKeepsTheSameMarginOnBothSides) {
    twtest::TestDataFolder folder(EncodeDate(2026, 3, 14) + EncodeTime(10, 0, 0, 0));
    twtest::TestLook look(folder.Appearance());
    TOptions options(folder.Data());
    TFakeDesktop desktop;
    TMonitoredList result;
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
        [&] { return std::make_unique<TfrmSettings>(options, desktop); },
        [&] {
            return std::make_unique<TfrmAppSiteAddWizard>(options, options.MonitoredList, result,
                                                          TProgramSources{});
        },
    };
    for (const auto& make : windows) {
        const std::unique_ptr<QWidget> window = make();
        ExpectEvenMargins(*window);
    }
}

} // namespace
