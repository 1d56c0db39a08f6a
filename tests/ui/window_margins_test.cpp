// A window's content keeps the same margin on its right as on its left: a control laid out
// for a wider window runs into the frame.
#include "dialogs/delete_confirm_form.h"
#include "dialogs/warning_form.h"
#include "ui/focus_settings.h"
#include "ui/reminder_form.h"
#include "ui/reminder_settings.h"
#include "ui/test_look.h"
#include "ui/transparency_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using namespace tw;

TEST(WindowMargins, ContentEndsAsFarFromTheRightEdgeAsItStartsFromTheLeft) {
    twtest::TestKit kit;
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.push_back(std::make_unique<TfrmReminder>(kit, nullptr));
    windows.push_back(std::make_unique<TfrmFocusSettings>(kit, nullptr));
    windows.push_back(std::make_unique<TfrmReminderSettings>(kit));
    windows.push_back(std::make_unique<TfrmTransparencySettings>(kit));
    windows.push_back(std::make_unique<TfrmDeleteConfirm>(kit));
    windows.push_back(std::make_unique<TfrmWarning>(kit));
    for (const auto& window : windows) {
        int left = window->width();
        int right = window->width();
        // The header and the panels as wide as the window are no content.
        for (const QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control->isVisibleTo(window.get()) && control->width() < window->width() - 2 &&
                control->y() >= TfrmBase::HeaderHeight) {
                left = std::min(left, control->x());
                right = std::min(right, window->width() - 1 - control->geometry().right());
            }
        }
        EXPECT_LE(std::abs(left - right), 1)
            << window->objectName().toStdString() << ": left " << left << ", right " << right;
    }
}

} // namespace
