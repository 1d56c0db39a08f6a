#pragma once

#include "platform/desktop.h"
#include "ui/main_window.h"
#include "ui/test_program.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace twtest {

// The main window of a test, made on first use as the view of a program started over the
// test's data folder, shown and exposed; the test keeps both and frees the window first.
inline tw::TfrmMain& ShownMainWindow(std::unique_ptr<tw::TfrmMain>& window,
                                     std::unique_ptr<TTestProgram>& program, tw::TDesktop& desktop,
                                     TestDataFolder& folder) {
    if (!window) {
        program = std::make_unique<TTestProgram>(desktop, folder);
        window = std::make_unique<tw::TfrmMain>(program->Kit(), desktop, program->Options(),
                                                program->Program());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    return *window;
}

} // namespace twtest
