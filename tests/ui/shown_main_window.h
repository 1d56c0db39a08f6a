#pragma once

#include "platform/desktop.h"
#include "storage/options.h"
#include "ui/main_window.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace twtest {

// The main window of a test, made on first use over fresh options read from the test's data
// folder, shown and exposed; the test keeps both and frees the window first.
inline tw::TfrmMain& ShownMainWindow(std::unique_ptr<tw::TfrmMain>& window,
                                     std::unique_ptr<tw::TOptions>& options,
                                     tw::TDesktop& desktop) {
    if (!window) {
        options = std::make_unique<tw::TOptions>();
        window = std::make_unique<tw::TfrmMain>(desktop, *options);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    return *window;
}

} // namespace twtest
