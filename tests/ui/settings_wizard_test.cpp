// The settings wizard on the offscreen platform over a data folder of its own: the preview
// put back on Cancel, the once-a-day rule seen on the limit page, the memo's Enter, and
// Apply at the first start writing everything to settings.sqlite.
#include "base/scope_exit.h"
#include "dialogs/delete_confirm_form.h"
#include "dialogs/settings_form.h"
#include "platform/fake/fake_desktop.h"
#include "platform/start_at_login.h"
#include "skin/image_button.h"
#include "skin/item_rows.h"
#include "skin/marked_item_delegate.h"
#include "skin/pictures.h"
#include "storage/appearance.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "storage/settings_file.h"
#include "support/temp_dir.h"
#include "support/test_data_folder.h"
#include "ui/main_window.h"
#include "ui/modal_helper.h"
#include "ui/test_program.h"
#include "ui/window_helpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace tw;
using twtest::Child;

const TDateTime Now = EncodeDate(2026, 3, 14) + EncodeTime(10, 0, 0, 0);

class SettingsWizardTest : public ::testing::Test {
  protected:
    TAppearance& Appearance() { return folder_.Appearance(); }

    // Runs the wizard, doing `act` in it once it is shown.
    bool Run(TOptions& options, bool firstRun, std::function<void(TfrmSettings&)> act) {
        twtest::TModalAnswer answer(QStringLiteral("frmSettings"), [&](QWidget* shown) {
            act(*static_cast<TfrmSettings*>(shown));
            if (shown->isVisible()) {
                ADD_FAILURE() << "the wizard is still open";
                static_cast<QDialog*>(shown)->reject();
            }
        });
        TfrmSettings wizard(look_, options, desktop_);
        return wizard.ShowSettingsWizard(firstRun);
    }

    static QString Page(TfrmSettings& w) { return w.CurrentSheet()->objectName(); }
    static void Choose(QComboBox* box, const QString& text) {
        const int index = box->findText(text);
        ASSERT_NE(index, -1) << text.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    static void Next(TfrmSettings& w) { QTest::keyClick(&w, Qt::Key_Return); }

    // The skins lie beside the folder's program.
    twtest::TestDataFolder folder_{Now};
    twtest::TestKit look_{folder_.Appearance()};
    TFakeDesktop desktop_;
};

TEST_F(SettingsWizardTest, CancelOnTheFirstPagePutsTheAppearanceBack) {
    Appearance().SetColor(0x202020);
    Appearance().SetTransparency(10);
    TOptions options(folder_.Data());
    EXPECT_FALSE(Run(options, false, [this](TfrmSettings& w) {
        ASSERT_EQ(Page(w), "tsBackground");
        Choose(Child<QComboBox>(w, "cbxImage"), "Dusk");
        EXPECT_NE(Appearance().GetImage().find("Dusk"), std::string::npos);
        Choose(Child<QComboBox>(w, "cbxTransparency"), "50");
        EXPECT_EQ(Appearance().GetTransparency(), 50);
        Choose(Child<QComboBox>(w, "cbxColor"), "Navy"); // a colour replaces the picture
        EXPECT_EQ(Appearance().GetImage(), "");
        EXPECT_EQ(Child<QComboBox>(w, "cbxImage")->currentText(), "<No Image>");
        Choose(Child<QComboBox>(w, "cbxTextColor"), "Yellow");
        EXPECT_EQ(ColorFromSetting(Appearance().GetTextColor()), QColor(Qt::yellow));
        // The check box's text reads as a label, and takes the colour with the labels.
        EXPECT_EQ(Child<QCheckBox>(w, "chkStartAtLogin")->palette().color(QPalette::WindowText),
                  QColor(Qt::yellow));
        QTest::keyClick(&w, Qt::Key_Escape);
    }));
    EXPECT_EQ(Appearance().GetColor(), 0x202020);
    EXPECT_EQ(Appearance().GetTransparency(), 10);
    EXPECT_EQ(Appearance().GetImage(), "");
    EXPECT_EQ(Appearance().GetTextColor(), 0xFFFFFF);
    // Also as stored, for the next start.
    TAppearance stored(folder_.Settings());
    EXPECT_EQ(stored.GetColor(), 0x202020);
    EXPECT_EQ(stored.GetTransparency(), 10);
}

// A user's first raise of the day applies; a second one waits for the next day and is what
// the page shows from then on. An untouched action is no change of it.
TEST_F(SettingsWizardTest, ASecondRaiseOnTheSameDayWaitsAndTheLimitPageShowsIt) {
    TOptions options(folder_.Data());
    options.Edit().TimeLimitSeconds = 2 * 3600;
    auto raiseTo = [&](const char* limit) {
        return Run(options, false, [&](TfrmSettings& w) {
            Next(w);
            Next(w);
            ASSERT_EQ(Page(w), "tsExpiration");
            Child<QLineEdit>(w, "medTimeLimit")->setText(limit);
            Next(w);
            Next(w); // Apply
        });
    };
    ASSERT_TRUE(raiseTo("03:00"));
    EXPECT_EQ(options.Edit().TimeLimitSeconds, 3 * 3600);
    ASSERT_TRUE(raiseTo("05:30"));
    EXPECT_EQ(options.Edit().TimeLimitSeconds, 3 * 3600);
    EXPECT_EQ(folder_.Settings().ReadInteger("Common", "TimeLimitSeconds", -1), 5 * 3600 + 1800);
    EXPECT_FALSE(options.Policy().ExpirationActionChanged());
    Run(options, false, [](TfrmSettings& w) {
        Next(w);
        Next(w);
        EXPECT_EQ(Child<QLineEdit>(w, "medTimeLimit")->text(), "05:30");
        w.reject();
    });
}

TEST_F(SettingsWizardTest, EnterInTheMemoStartsANewLine) {
    TOptions options(folder_.Data());
    Run(options, false, [](TfrmSettings& w) {
        for (int page = 0; page < 3; ++page) {
            Next(w);
        }
        ASSERT_EQ(Page(w), "tsReminder");
        Child<QPlainTextEdit>(w, "memReminder")->setFocus();
        QTest::keyClicks(Child<QPlainTextEdit>(w, "memReminder"), "Call home");
        QTest::keyClick(Child<QPlainTextEdit>(w, "memReminder"), Qt::Key_Return);
        QTest::keyClicks(Child<QPlainTextEdit>(w, "memReminder"), "Shop");
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(Child<QPlainTextEdit>(w, "memReminder")->toPlainText(), "Call home\nShop");
        w.reject();
    });
}

// The first start: the wizard once, with every change at once, and all of it on disk.
TEST_F(SettingsWizardTest, TheFirstStartShowsTheWizardOnceAndApplySavesEverything) {
    {
        TOptions seeded(folder_.Data());
        auto item = std::make_unique<TMonitoredItem>();
        item->Name = "news.example.com";
        item->Caption = "News";
        item->ItemType = TMonitoredItemType::mitWeb;
        seeded.Edit().MonitoredList.Add("News", std::move(item));
        ASSERT_TRUE(seeded.Save());
    }
    TOptions options(folder_.Data());
    ASSERT_FALSE(options.Edit().IsNotFirstRun);
    // The person's autostart folder, for the start at login (a Linux desktop's; on Windows the
    // installer sets it and the wizard does not offer it).
    twtest::TempDir config;
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.Path().string()));
    const TScopeExit restoreConfig([&] { qputenv("XDG_CONFIG_HOME", savedConfig); });
    const bool offered = StartAtLoginAvailable();
    const bool startedAtLogin = StartsAtLogin();
    int shown = 0;
    {
        twtest::TModalAnswer answer(QStringLiteral("frmSettings"), [&](QWidget* window) {
            ++shown;
            auto& w = *static_cast<TfrmSettings*>(window);
            EXPECT_EQ(Child<QCheckBox>(w, "chkStartAtLogin")->isVisible(), offered);
            if (offered) {
                Child<QCheckBox>(w, "chkStartAtLogin")->click();
            }
            Next(w);
            ASSERT_EQ(Page(w), "tsMonitoredList");
            // At the first start a delete removes at once.
            Child<QListWidget>(w, "lbxAppSites")->setCurrentRow(0);
            twtest::TModalAnswer confirm(QStringLiteral("frmDeleteConfirm"), [](QWidget* question) {
                static_cast<QDialog*>(question)->accept();
            });
            QTest::mouseClick(Child<TImageButton>(w, "btnApp_Delete"), Qt::LeftButton);
            EXPECT_EQ(w.WorkingList().Count(), 0);
            Next(w);
            Choose(Child<QComboBox>(w, "cbxExpirationAction"), "Close Browser/App.");
            Child<QLineEdit>(w, "medTimeLimit")->setText("01:45");
            Next(w);
            Child<QPlainTextEdit>(w, "memReminder")->setPlainText("Morning text");
            Choose(Child<QComboBox>(w, "cbxReminder"), "Evening");
            Child<QPlainTextEdit>(w, "memReminder")->setPlainText("Evening text");
            // The parts with a memo carry the tick, drawn like the main window's.
            auto* selector = Child<QComboBox>(w, "cbxReminder");
            EXPECT_NE(dynamic_cast<TMarkedItemDelegate*>(selector->itemDelegate()), nullptr);
            EXPECT_TRUE(selector->itemData(0, MarkedRole).toBool());
            EXPECT_FALSE(selector->itemData(1, MarkedRole).toBool());
            EXPECT_TRUE(selector->itemData(2, MarkedRole).toBool());
            Child<QComboBox>(w, "cbReminderChangePeriod")->setCurrentIndex(2);
            QTest::mouseClick(Child<TImageButton>(w, "btnNext"), Qt::LeftButton); // Apply
        });
        EXPECT_TRUE(ShowFirstRunSettings(look_, options, desktop_));
    }
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(options.Policy().AdminSessionOpen());
    EXPECT_EQ(StartsAtLogin(), offered != startedAtLogin);
    // Written, not only held: a new options object reads it back.
    TOptions stored(folder_.Data());
    EXPECT_TRUE(stored.Values().IsNotFirstRun);
    EXPECT_EQ(stored.Values().MonitoredList.Count(), 0);
    EXPECT_EQ(stored.Values().ExpirationAction, TExpirationAction::CloseListed);
    EXPECT_EQ(stored.Values().TimeLimitSeconds, 6300);
    EXPECT_EQ(stored.GetReminder(0), "Morning text");
    EXPECT_EQ(stored.GetReminder(1), "");
    EXPECT_EQ(stored.GetReminder(2), "Evening text");
    EXPECT_EQ(stored.Values().ReminderChangePeriod, tw::TReminderChangePeriod::Weekly);
    // The first-run changes used up none of the day's own.
    EXPECT_FALSE(folder_.Settings().ReadBool("Common", "ExpirationActionChanged", false));

    twtest::TModalAnswer unexpected(QStringLiteral("frmSettings"), [&](QWidget* window) {
        ++shown;
        static_cast<QDialog*>(window)->reject();
    });
    EXPECT_FALSE(ShowFirstRunSettings(look_, stored, desktop_));
    QTest::qWait(20);
    EXPECT_EQ(shown, 1);
}

// The first start ends with the main window in sight, in the All view, with the list the
// wizard just made; a later start stays in the tray.
TEST_F(SettingsWizardTest, TheFirstStartShowsTheMainWindowOnceWithTheListJustChosen) {
    twtest::TTestProgram program(desktop_, folder_, false);
    twtest::TModalAnswer add(QStringLiteral("frmAppSiteAddWizard"), [](QWidget* wizard) {
        QTest::keyClicks(Child<QLineEdit>(*wizard, "edURL"), "news.example.com");
        QTest::keyClick(Child<QLineEdit>(*wizard, "edURL"), Qt::Key_Return);
        for (int page = 0; page < 3; ++page) {
            twtest::Click(*wizard, "btnNext"); // to the end, then Finish
        }
    });
    twtest::TModalAnswer first(QStringLiteral("frmSettings"), [&](QWidget* shown) {
        auto& w = *static_cast<TfrmSettings*>(shown);
        while (w.isVisible()) {
            if (Page(w) == "tsMonitoredList" && w.WorkingList().Count() == 0) {
                twtest::Click(w, "btnApp_Add");
            }
            Next(w);
        }
    });
    ASSERT_TRUE(ShowFirstRunSettings(program.Kit(), program.Options(), desktop_));
    program.Program().Start();
    TfrmMain window(program.Kit(), desktop_, program.Options(), program.Program());
    window.ShowAtStart(true, true);
    EXPECT_TRUE(window.isVisible() && !window.IsLiteView());
    EXPECT_EQ(window.CurrentSheet()->objectName(), "tsMain");
    EXPECT_EQ(twtest::Captions(*Child<QListWidget>(window, "lbxMain_Applications")),
              QStringList{"news.example.com"});
    window.hide();
    EXPECT_FALSE(ShowFirstRunSettings(program.Kit(), program.Options(), desktop_));
    window.ShowAtStart(true, false);
    EXPECT_FALSE(window.isVisible());
}

// Settings from the main window's menu: what was applied shows there at once, and the
// regular save, stopped while the wizard was open, runs again.
TEST_F(SettingsWizardTest, TheMainWindowShowsWhatTheSettingsApplied) {
    TFakeDesktop desktop;
    twtest::TTestProgram program(desktop, folder_);
    TOptions& options = program.Options();
    TfrmMain window(program.Kit(), desktop, options, program.Program());
    twtest::TModalAnswer answer(QStringLiteral("frmSettings"), [&](QWidget* shown) {
        auto& w = *static_cast<TfrmSettings*>(shown);
        EXPECT_FALSE(program.Timer("tmrSaveOptions")->isActive());
        Next(w);
        Next(w);
        Choose(Child<QComboBox>(w, "cbxExpirationAction"), "Close Browser/App.");
        Child<QLineEdit>(w, "medTimeLimit")->setText("01:30");
        Next(w);
        Child<QPlainTextEdit>(w, "memReminder")->setPlainText("Stretch");
        Next(w);
    });
    Child<QAction>(window, "actSettings")->trigger();
    EXPECT_EQ(Child<QLineEdit>(window, "edtTimeLimit")->text(), "01:30");
    EXPECT_EQ(Child<QLineEdit>(window, "edtAction")->text(), "Close Browser/App.");
    EXPECT_EQ(Child<QPlainTextEdit>(window, "mmReminderMorning")->toPlainText(), "Stretch");
    EXPECT_TRUE(program.Timer("tmrSaveOptions")->isActive());
    EXPECT_FALSE(options.Policy().AdminSessionOpen());
}

} // namespace
