// The main window on the offscreen platform, over its own data folder and a clock that
// moves only when told, driven through its controls' object names.
#include "dialogs/warning_form.h"
#include "platform/fake/fake_browsers.h"
#include "platform/fake/fake_desktop.h"
#include "platform/native_path.h"
#include "platform/start_at_login.h"
#include "skin/image_button.h"
#include "skin/pictures.h"
#include "storage/appearance.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "storage/settings_changes.h"
#include "storage/sqlite_database.h"
#include "support/build_folder.h"
#include "support/file_text.h"
#include "support/test_data_folder.h"
#include "ui/appearance_menu.h"
#include "ui/main_window.h"
#include "ui/main_window_list_rows.h"
#include "ui/shown_main_window.h"
#include "ui/usage_chart.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

namespace {

namespace fs = std::filesystem;
using namespace tw;

// Saturday 14 March 2026, 10:00: the accounting day began at 04:00.
const TDateTime Now = EncodeDate(2026, 3, 14) + EncodeTime(10, 0, 0, 0);

// Answers the modal windows an action opens, one after the other, and records them.
class TModalAnswers {
  public:
    explicit TModalAnswers(std::vector<std::function<void(QWidget*)>> answers)
        : answers_(std::move(answers)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || modal == last_) {
                return;
            }
            last_ = modal;
            seen_.push_back(modal->objectName());
            if (next_ < answers_.size()) {
                answers_[next_++](modal);
            } else {
                static_cast<QDialog*>(modal)->reject(); // unexpected: do not hang
            }
        });
        poll_.start(5);
    }
    const std::vector<QString>& Seen() const { return seen_; }

  private:
    std::vector<std::function<void(QWidget*)>> answers_;
    std::size_t next_ = 0;
    QWidget* last_ = nullptr;
    std::vector<QString> seen_;
    QTimer poll_;
};

// One tick of a timer, now.
void Fire(QTimer* timer) {
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
}

class MainWindowTest : public ::testing::Test {
  protected:
    ~MainWindowTest() override {
        window_.reset();
        program_.reset();
    }
    // The program's once it runs; before, what the folder holds for it to find.
    TAppearance& Appearance() {
        return program_ ? program_->Program().Data().Appearance() : folder_.Appearance();
    }
    const QImage& BackgroundPicture() { return program_->Kit().Look()->BackgroundPicture(); }

    // Items of one type added to the list: name, caption, active; then seconds logged today for
    // each.
    void List(std::vector<std::tuple<std::string, std::string, bool>> items,
              TMonitoredItemType type = TMonitoredItemType::mitApp) {
        TOptions options(folder_.Data());
        for (const auto& [name, caption, active] : items) {
            auto item = std::make_unique<TMonitoredItem>();
            item->Name = name;
            item->Caption = caption;
            item->Active = active;
            item->ItemType = type;
            options.Edit().MonitoredList.Add(caption, std::move(item));
        }
        ASSERT_TRUE(options.Save());
    }
    void Logged(const std::string& name, TDateTime when, int seconds) {
        TSQLiteDatabase db(folder_.File("actmondb.sqlite"));
        db.ExecSQL("INSERT INTO applications(date_created, app_name, browser_url, app_type, "
                   "duration, origin) VALUES('" +
                   DateTimeToSQL(when) + "', '" + name + "', '', 'Desktop Application', " +
                   std::to_string(seconds) + ", 1)");
    }

    TfrmMain& Window() { return twtest::ShownMainWindow(window_, program_, desktop_, folder_); }
    // The view's timers are the window's; the others, the program's.
    QTimer* Timer(const char* name) {
        auto* timer = Window().findChild<QTimer*>(QString::fromLatin1(name));
        return timer ? timer : program_->Timer(name);
    }
    template <class T> T* Find(const char* name) {
        T* found = Window().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void Click(const char* button) {
        QTest::mouseClick(Find<TImageButton>(button), Qt::LeftButton);
    }
    // Deletes the item of a row of today's list, confirming; the windows that asked.
    std::vector<QString> DeleteConfirmed(int row) {
        Find<QAction>("actViewMain")->trigger();
        Find<QListWidget>("lbxMain_Applications")->setCurrentRow(row);
        TModalAnswers answers({[](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); }});
        Click("btnApp_Delete");
        QTest::qWait(30);
        return answers.Seen();
    }
    int WorkAreaHeight() { return Window().screen()->availableGeometry().height(); }

    twtest::TestDataFolder folder_{Now};
    TFakeDesktop desktop_;
    std::unique_ptr<twtest::TTestProgram> program_;
    std::unique_ptr<TfrmMain> window_;
};

TEST_F(MainWindowTest, StartsInTheLiteViewAndTheFullViewsTakeTheWorkAreasHeight) {
    TfrmMain& w = Window();
    auto* memo = Find<QWidget>("pnlReminder");
    EXPECT_EQ(w.height(), memo->geometry().bottom() + 1 + 10);
    EXPECT_TRUE(Find<QAction>("actViewLite")->isChecked());
    EXPECT_FALSE(Find<QWidget>("btnBack")->isVisible());

    const struct {
        const char* action;
        const char* sheet;
        const char* shownControl;
    } views[] = {{"actViewMain", "tsMain", "lbxMain_Applications"},
                 {"actViewRemindersOnly", "tsReminder", "mmReminderEvening"},
                 {"actViewUsage", "tsUsage", "lbxUsage_Applications"}};
    for (const auto& view : views) {
        SCOPED_TRACE(view.action);
        Find<QAction>(view.action)->trigger();
        EXPECT_EQ(w.CurrentSheet()->objectName(), view.sheet);
        EXPECT_EQ(w.height(), WorkAreaHeight());
        EXPECT_TRUE(Find<QWidget>(view.shownControl)->isVisible());
        EXPECT_EQ(Find<QWidget>("btnNext")->isVisible(), std::string(view.sheet) != "tsMain");
    }
    Find<QAction>("actViewLite")->trigger();
    EXPECT_EQ(w.height(), memo->geometry().bottom() + 1 + 10);
    EXPECT_FALSE(Find<QWidget>("lbxMain_Applications")->isVisible() &&
                 Find<QWidget>("lbxMain_Applications")->geometry().top() < w.height());
}

TEST_F(MainWindowTest, PagingWrapsAtBothEndsAndLeavesTheMenuCheckAlone) {
    TfrmMain& w = Window();
    Find<QAction>("actViewUsage")->trigger();
    Click("btnNext");
    EXPECT_EQ(w.CurrentSheet()->objectName(), "tsMain");
    EXPECT_EQ(w.height(), WorkAreaHeight()); // the full height, not Lite
    EXPECT_FALSE(Find<QWidget>("btnBack")->isVisible());
    EXPECT_FALSE(Find<QWidget>("btnNext")->isVisible());
    EXPECT_TRUE(Find<QAction>("actViewUsage")->isChecked());

    Find<QAction>("actViewRemindersOnly")->trigger();
    Click("btnNext");
    EXPECT_EQ(w.CurrentSheet()->objectName(), "tsUsage");
    Click("btnBack");
    Click("btnBack");
    EXPECT_EQ(w.CurrentSheet()->objectName(), "tsMain");
    EXPECT_TRUE(Find<QAction>("actViewRemindersOnly")->isChecked());
}

TEST_F(MainWindowTest, EscapeAndClosingOnlyPutTheWindowAwayAndNotWhileItIsDisabled) {
    TfrmMain& w = Window();
    w.SetTrayAvailable(true);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());

    w.show();
    w.setEnabled(false); // as while the time-up reminder is open
    Find<QAction>("actMinimize")->trigger();
    w.close();
    EXPECT_TRUE(w.isVisible());

    w.setEnabled(true);
    EXPECT_FALSE(w.close()); // refused, but put away
    EXPECT_FALSE(w.isVisible());

    // Without a tray the window minimizes where it can still be found.
    w.SetTrayAvailable(false);
    w.show();
    Find<QAction>("actMinimize")->trigger();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.isMinimized());
}

TEST_F(MainWindowTest, TodaysListIsPaddedToItsHeightWithStripesAndDimmedInactiveItems) {
    List({{"/usr/bin/alpha", "Alpha", true},
          {"/usr/bin/beta", "Beta", false},
          {"/usr/bin/gamma", "Gamma", true}});
    Logged("/usr/bin/alpha", Now - 0.01, 125);
    auto* list = Find<QListWidget>("lbxMain_Applications");
    // 127 pixels high, 16 per row: 7 rows, 4 of them fillers.
    ASSERT_EQ(list->count(), 7);
    EXPECT_EQ(RowItem(*list, 0)->Caption, "Alpha");
    EXPECT_EQ(RowItem(*list, 0)->Duration, 125);
    EXPECT_EQ(RowItem(*list, 3), nullptr);
    EXPECT_TRUE(list->item(6)->text().isEmpty());

    Window().findChild<QAction*>("actViewMain")->trigger();
    const QImage drawn = list->grab().toImage();
    const int gridX = 171 - 8;
    EXPECT_EQ(drawn.pixelColor(140, 8), QColor(Qt::white));                   // row 0
    EXPECT_EQ(drawn.pixelColor(140, 16 + 8), QColor(0xF1, 0xF1, 0xF1));       // row 1
    EXPECT_EQ(drawn.pixelColor(gridX, 16 * 5 + 3), QColor(0xD4, 0xD4, 0xD4)); // a filler row
    EXPECT_EQ(drawn.pixelColor(60, 16 * 7 - 1), QColor(0xD4, 0xD4, 0xD4));    // under the last
}

TEST_F(MainWindowTest, DeleteOnAFillerRowDoesNothing) {
    List({{"/usr/bin/alpha", "Alpha", true}});
    auto* list = Find<QListWidget>("lbxMain_Applications");
    Find<QAction>("actViewMain")->trigger();
    list->setCurrentRow(4);
    TModalAnswers answers({});
    Click("btnApp_Delete");
    QTest::qWait(30);
    EXPECT_TRUE(answers.Seen().empty());
    EXPECT_EQ(program_->Options().Edit().MonitoredList.Count(), 1);
    EXPECT_FALSE(program_->Options().Policy().AdminSessionOpen());
}

TEST_F(MainWindowTest, DeletingAnItemWaitingForRemovalOnlyTellsSo) {
    List({{"/usr/bin/alpha", "Alpha \"beta\"", false}});
    auto* list = Find<QListWidget>("lbxMain_Applications");
    Find<QAction>("actViewMain")->trigger();
    list->setCurrentRow(0);
    QString notice;
    QString caption;
    TModalAnswers answers({[&](QWidget* modal) {
        notice = modal->findChild<QLabel*>("lblWarning")->text();
        caption = modal->windowTitle();
        static_cast<QDialog*>(modal)->accept();
    }});
    Click("btnApp_Delete");
    QTest::qWait(30);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0], "frmWarning");
    EXPECT_EQ(notice, "\"Alpha \"beta\"\" will be removed from time-limit list after 4:00 AM");
    EXPECT_EQ(caption, "Please Note");
    EXPECT_EQ(program_->Options().Edit().MonitoredList.Count(), 1);
    EXPECT_EQ(RowItem(*list, 0)->Caption, "Alpha \"beta\"");
}

// The list is refilled every 12 s and whenever the list changes: the row the person chose
// stays chosen by its item, wherever that item moves, so that Delete acts on it later.
// Both time lists are read afresh while the person looks at them (today's every 12 s, the
// usage list with each return to its view): the chosen item stays chosen, wherever its row
// moves, and nothing chosen stays so.
TEST_F(MainWindowTest, TheTimeListsKeepTheChosenItemAcrossRefreshes) {
    List({{"/usr/bin/alpha", "Alpha", true}, {"/usr/bin/beta", "Beta", true}});
    Logged("/usr/bin/alpha", Now - 1.0 / 24, 600);
    Logged("/usr/bin/beta", Now - 2.0 / 24, 300);
    const struct {
        const char* view;
        const char* list;
        std::function<void()> refresh;
    } lists[] = {
        {"actViewMain", "lbxMain_Applications", [this] { Fire(Timer("tmrUsage")); }},
        {"actViewUsage", "lbxUsage_Applications",
         [this] { Find<QAction>("actViewUsage")->trigger(); }},
    };
    const auto shown = [this](const auto& l) {
        Find<QAction>(l.view)->trigger();
        return Find<QListWidget>(l.list);
    };
    const auto chosenCaption = [](const QListWidget* list) {
        const TMonitoredItem* item = RowItem(*list, list->currentRow());
        return item != nullptr && list->currentItem()->isSelected() ? item->Caption : "";
    };
    for (const auto& l : lists) {
        SCOPED_TRACE(l.list);
        QListWidget* list = shown(l);
        const auto beta = list->findItems(QStringLiteral("Beta"), Qt::MatchExactly);
        ASSERT_EQ(beta.size(), 1);
        list->setCurrentItem(beta[0]);
        const int row = list->currentRow();
        l.refresh();
        EXPECT_EQ(list->currentRow(), row);
        EXPECT_EQ(chosenCaption(list), "Beta");
    }

    TMonitoredList added; // sorted in before the chosen item, and used the most
    auto item = std::make_unique<TMonitoredItem>();
    item->Name = "/usr/bin/aardvark";
    item->Caption = "Aardvark";
    item->ItemType = TMonitoredItemType::mitApp;
    item->Checked = true;
    added.Add("Aardvark", std::move(item));
    ApplyListChanges(program_->Options(), added,
                     &program_->Program().Engine().Logger().TodayList());
    Logged("/usr/bin/aardvark", Now - 1.0 / 24, 1200);
    for (const auto& l : lists) {
        SCOPED_TRACE(l.list);
        QListWidget* list = shown(l);
        l.refresh();
        EXPECT_EQ(chosenCaption(list), "Beta");
        EXPECT_EQ(list->selectedItems().size(), 1);
    }

    for (const auto& l : lists) {
        SCOPED_TRACE(l.list);
        QListWidget* list = shown(l);
        list->clearSelection();
        l.refresh();
        EXPECT_TRUE(list->selectedItems().isEmpty());
    }
}

// While one of the window's dialogs is open, a tray click or a double Alt leaves the window
// as it is and brings the dialog forward.
TEST_F(MainWindowTest, ATrayClickOrDoubleAltWhileADialogIsOpenBringsTheDialogForward) {
    List({{"/usr/bin/alpha", "Alpha", true}});
    TfrmMain& w = Window();
    w.SetTrayAvailable(true);
    program_->Program().ListenToNotices();
    Find<QAction>("actViewMain")->trigger();
    Find<QListWidget>("lbxMain_Applications")->setCurrentRow(0);
    auto* tray = Find<QSystemTrayIcon>("trayIcon");
    TModalAnswers answers({[&](QWidget* question) {
        emit tray->activated(QSystemTrayIcon::Trigger);
        EXPECT_TRUE(w.isVisible() && !w.isMinimized());
        desktop_.PushNotice(TDesktopNotice::HotKey);
        desktop_.PushNotice(TDesktopNotice::HotKey);
        Fire(Timer("tmrNotices"));
        EXPECT_TRUE(w.isVisible() && !w.isMinimized());
        EXPECT_EQ(QApplication::activeModalWidget(), question);
        static_cast<QDialog*>(question)->reject();
    }});
    Click("btnApp_Delete");
    QTest::qWait(30);
    ASSERT_EQ(answers.Seen().size(), 1u);
    emit tray->activated(QSystemTrayIcon::Trigger); // no dialog: put away as before
    EXPECT_FALSE(w.isVisible());
}

// A desktop that cannot show the program its windows would leave the limit silently
// unreached: the person is told once, when the window starts listening to the desktop; and
// as the desktop tells it, when it put back what somebody switched off.
TEST_F(MainWindowTest, WindowsTheDesktopCannotSeeAreToldOnceInANotice) {
    desktop_.SetWindowsProblem("GNOME Shell refused the extension");
    Window();
    QString notice;
    const auto read = [&](QWidget* modal) {
        notice = modal->findChild<QTextEdit*>("mmMessage")->toPlainText();
        static_cast<QDialog*>(modal)->accept();
    };
    {
        TModalAnswers answers({read});
        program_->Program().ListenToNotices();
        QTest::qWait(30);
        Fire(Timer("tmrNotices"));
        QTest::qWait(30);
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(answers.Seen()[0], "frmFailureNotice");
        EXPECT_EQ(notice, "Tallywick cannot see every window on this desktop, and time in front "
                          "of those it cannot see is not counted: GNOME Shell refused the "
                          "extension.");
    }
    // A second window may take the first one's place in memory: answered by a watch of its own.
    TModalAnswers answers({read});
    desktop_.PushNotice(tw::TNotice(TDesktopNotice::SwitchedBackOn, "The script was put back."));
    Fire(Timer("tmrNotices"));
    QTest::qWait(30);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0], "frmFailureNotice");
    EXPECT_EQ(notice, "The script was put back.");
}

TEST_F(MainWindowTest, AConfirmedDeleteTakesTheItemOffBothListsAndTheDatabase) {
    List({{"/usr/bin/alpha", "Alpha", true}, {"/usr/bin/beta", "Beta", true}});
    auto* list = Find<QListWidget>("lbxMain_Applications");
    const std::vector<QString> asked = DeleteConfirmed(1);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "frmDeleteConfirm");
    EXPECT_EQ(RowItem(*list, 0)->Caption, "Alpha");
    EXPECT_EQ(RowItem(*list, 1), nullptr);
    EXPECT_EQ(program_->Options().Edit().MonitoredList.Count(), 1);
    TOptions reloaded(folder_.Data());
    EXPECT_EQ(reloaded.Values().MonitoredList.Count(), 1);
    EXPECT_FALSE(program_->Options().Policy().AdminSessionOpen());
}

// Browser addresses are asked of the desktop while a website is listed: from the start, until
// the person deletes the last one (seen at the next scan), again once one is listed, and never
// after the program's end.
TEST_F(MainWindowTest, TheDesktopIsToldWhetherAddressesAreNeededAsTheListChanges) {
    List({{"/usr/bin/alpha", "Alpha", true}});
    List({{"example.com", "Site", true}}, TMonitoredItemType::mitWeb);
    Window();
    EXPECT_TRUE(desktop_.AddressesNeeded());
    // Told at every scan: the desktop puts back a switch turned off meanwhile.
    const int told = desktop_.AddressesNeededTold();
    Fire(Timer("tmrScan"));
    Fire(Timer("tmrScan"));
    EXPECT_EQ(desktop_.AddressesNeededTold(), told + 2);

    DeleteConfirmed(1);
    ASSERT_EQ(program_->Options().Edit().MonitoredList.Count(), 1);
    Fire(Timer("tmrScan"));
    EXPECT_FALSE(desktop_.AddressesNeeded());

    auto site = std::make_unique<TMonitoredItem>();
    site->Name = "example.org";
    site->ItemType = TMonitoredItemType::mitWeb;
    program_->Options().Edit().MonitoredList.Add("Other site", std::move(site));
    Fire(Timer("tmrScan"));
    EXPECT_TRUE(desktop_.AddressesNeeded());
    window_.reset();
    program_->Program().Finish();
    EXPECT_FALSE(desktop_.AddressesNeeded());
}

TEST_F(MainWindowTest, ChoosingTheUsagePeriodReloadsTheList) {
    List({{"/usr/bin/alpha", "Alpha", true}});
    Logged("/usr/bin/alpha", Now - 1.0 / 24, 600); // today
    Logged("/usr/bin/alpha", Now - 3.0, 3600);     // three days ago
    Logged("/usr/bin/alpha", Now - 20.0, 7200);    // twenty days ago
    Find<QAction>("actViewUsage")->trigger();
    auto* list = Find<QListWidget>("lbxUsage_Applications");
    auto* period = Find<QComboBox>("cbxUsage_Period");
    EXPECT_EQ(period->currentText(), "Today");
    ASSERT_NE(RowItem(*list, 0), nullptr);
    EXPECT_EQ(RowItem(*list, 0)->Duration, 600);
    period->setCurrentIndex(2); // Last 7 Days
    EXPECT_EQ(RowItem(*list, 0)->Duration, 4200);
    period->setCurrentIndex(4); // Last 30 Days
    EXPECT_EQ(RowItem(*list, 0)->Duration, 11400);
    EXPECT_EQ(list->count(), (233 - 2) / 13);
}

// Fields of RFC 4180 text: quoted fields may hold commas, doubled quotes and line breaks.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> lines(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            lines.back().push_back(std::exchange(field, {}));
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            lines.back().push_back(std::exchange(field, {}));
            lines.emplace_back();
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.empty() && lines.back().empty()) << "the last line ends in CRLF";
    lines.pop_back();
    return lines;
}

TEST_F(MainWindowTest, TheUsageChartShowsTheDaysAndTheItemsWithTheTablesFigures) {
    List({{"/usr/bin/alpha", "Alpha", true}, {"/usr/bin/beta", "Beta", true}});
    Logged("/usr/bin/alpha", Now - 1.0 / 24, 600); // today
    Logged("/usr/bin/beta", Now - 2.0 / 24, 300);  // today
    Logged("/usr/bin/alpha", Now - 3.0, 3600);     // Wednesday
    Logged("/usr/bin/beta", Now - 3.0, 60);        // Wednesday
    Logged("/usr/bin/alpha", Now - 6.9, 120);      // the first, partial day of the week
    Logged("/usr/bin/alpha", Now - 20.0, 7200);    // outside the week
    Logged("/usr/bin/alpha", Now - 7.5 / 24, 900); // before 04:00: still Friday
    Find<QAction>("actViewUsage")->trigger();
    auto* chart = Find<TUsageChart>("chtUsage");
    auto* period = Find<QComboBox>("cbxUsage_Period");
    auto* list = Find<QListWidget>("lbxUsage_Applications");
    EXPECT_EQ(chart->accessibleName(), "Usage chart");
    EXPECT_LE(chart->geometry().right(), Window().width() - 10) << "fits the docked width";

    // Today: a bar per item.
    ASSERT_EQ(chart->Bars().size(), 2u);
    EXPECT_EQ(chart->Bars()[0].seconds + chart->Bars()[1].seconds, 900);

    period->setCurrentIndex(2); // Last 7 Days: Saturday 7 March 10:00 to now
    const auto& bars = chart->Bars();
    ASSERT_EQ(bars.size(), 8u) << "from the first, partial day to today";
    EXPECT_EQ(bars[0].seconds, 120);
    EXPECT_EQ(bars[4].seconds, 3660);
    EXPECT_EQ(bars[6].seconds, 900);
    EXPECT_EQ(bars[7].seconds, 900);
    EXPECT_TRUE(bars[7].today);
    EXPECT_EQ(std::count_if(bars.begin(), bars.end(), [](const TChartBar& b) { return b.today; }),
              1);
    std::int64_t table = 0;
    for (int row = 0; RowItem(*list, row); ++row) {
        table += RowItem(*list, row)->Duration;
    }
    EXPECT_EQ(table, 120 + 3660 + 900 + 900);

    // The keyboard reaches each bar and it says its day and time.
    QTest::keyClick(chart, Qt::Key_Home);
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(chart, Qt::Key_Right);
    }
    EXPECT_EQ(chart->CurrentBar(), 4);
    EXPECT_EQ(chart->CurrentText(), "Wed 11 Mar 2026: 01:01");
    // As does the mouse.
    QTest::mouseMove(chart, chart->BarRect(0).center());
    EXPECT_EQ(chart->CurrentText(), "Sat 7 Mar 2026: 00:02");
    EXPECT_TRUE(chart->accessibleDescription().contains("Wed 11 Mar 2026: 01:01"));
    EXPECT_TRUE(chart->accessibleDescription().contains("Daily limit: 08:00"));
}

TEST_F(MainWindowTest, TheClosedDaysAreRolledUpInSlicesAfterTheCleanUp) {
    List({{"/usr/bin/alpha", "Alpha", true}});
    Logged("/usr/bin/alpha", Now - 1.0 / 24, 30);       // today: read from the rows
    Logged("/usr/bin/alpha", Now - 3.0, 3600);          // Wednesday
    Logged("/usr/bin/alpha", Now - 3.0 + 1.0 / 24, 60); // Wednesday
    Logged("/usr/bin/alpha", Now - 80.0, 120);          // 24 December
    Logged("/usr/bin/alpha", Now - 100.0, 7200);        // older than 90 days
    QTimer* slices = Timer("tmrLogPurge");
    const auto built = [&] {
        return folder_.Scalar("actmondb.sqlite",
                              "SELECT COUNT(*) FROM sqlite_master WHERE name = 'daily_usage_days'");
    };
    ASSERT_EQ(built(), "0") << "a file of an older version, without the roll-up";

    // Done, it only judges the clock again now and then.
    const auto slicing = [&] { return slices->isActive() && slices->interval() < 60000; };
    for (int fired = 0; slicing() && fired < 1000; ++fired) {
        Fire(slices);
    }
    EXPECT_FALSE(slicing()) << "done";
    EXPECT_EQ(built(), "1");
    EXPECT_EQ(folder_.Scalar("actmondb.sqlite",
                             "SELECT group_concat(day || '=' || duration, ' ') FROM (SELECT day, "
                             "duration FROM daily_usage WHERE duration <> 0 ORDER BY day)"),
              "2025-12-24=120 2026-03-11=3660")
        << "the clean-up went first; today stays with the rows";
    EXPECT_EQ(folder_.Scalar("actmondb.sqlite",
                             "SELECT COUNT(*) || ' ' || MIN(day) || ' ' || MAX(day) FROM "
                             "daily_usage_days"),
              "90 2025-12-14 2026-03-13")
        << "every closed day of the longest period";
    EXPECT_EQ(folder_.Scalar("actmondb.sqlite",
                             "SELECT SUM(seconds) FROM daily_item_usage WHERE name = "
                             "'/usr/bin/alpha'"),
              "3780")
        << "charged to the item";
}

TEST_F(MainWindowTest, ExportWritesThePeriodAsCsvThatReadsBack) {
    List({{"/usr/bin/alpha", "Alpha, \"the\" first", true},
          {"/usr/bin/beta", "Bêta ünïcødé 日本", true},
          {"/usr/bin/gamma", "Gamma", true}});
    Logged("/usr/bin/alpha", Now - 1.0 / 24, 600);
    Logged("/usr/bin/beta", Now - 3.0, 3600);
    Logged("/usr/bin/beta", Now - 3.0 - 1.0 / 24, 60);
    Logged("/usr/bin/alpha", Now - 40.0, 5); // outside the 30 days
    Find<QAction>("actViewUsage")->trigger();
    Find<QComboBox>("cbxUsage_Period")->setCurrentIndex(4); // Last 30 Days
    const std::string file = folder_.File("usage.csv");
    TModalAnswers answers({[&](QWidget* modal) {
        auto* dialog = static_cast<QFileDialog*>(modal);
        dialog->selectFile(QString::fromStdString(file));
        static_cast<QDialog*>(dialog)->accept();
    }});
    Click("btnUsage_Export");
    ASSERT_EQ(answers.Seen(), std::vector<QString>{"dlgUsageExport"});
    const auto lines = ParseCsv(twtest::ReadAll(file));
    const std::vector<std::vector<std::string>> expected = {
        {"date", "caption", "name", "type", "seconds"},
        {"2026-03-11", "Bêta ünïcødé 日本", "/usr/bin/beta", "Application", "3660"},
        {"2026-03-14", "Alpha, \"the\" first", "/usr/bin/alpha", "Application", "600"},
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(MainWindowTest, AColourChoiceReplacesThePicture) {
    const std::string skin = tw::Utf8Path(twtest::BuildProgramFolder() / "Skins" / "Moss.png");
    Appearance().SetImage(skin);
    TfrmMain& w = Window();
    auto* noImage = Find<QAction>("miClearBackgroundImage");
    EXPECT_FALSE(noImage->isChecked());
    TModalAnswers answers({[](QWidget* modal) {
        auto* dialog = static_cast<QColorDialog*>(modal);
        dialog->setCurrentColor(QColor(0x20, 0x40, 0x80));
        dialog->accept();
    }});
    Find<QAction>("miBackgroundColor")->trigger();
    EXPECT_EQ(Appearance().GetImage(), "");
    EXPECT_TRUE(BackgroundPicture().isNull());
    EXPECT_EQ(Appearance().GetColor(), 0x804020);
    EXPECT_EQ(w.WindowColor(), QColor(0x20, 0x40, 0x80));
    EXPECT_TRUE(noImage->isChecked());
}

TEST_F(MainWindowTest, SkinsAreOfferedAndAnUnreadableOneIsReportedWhileTheChoiceStays) {
    const fs::path skins = folder_.Path() / "Skins";
    fs::create_directories(skins);
    fs::copy_file(twtest::BuildProgramFolder() / "Skins" / "Moss.png", skins / "Moss.png");
    std::ofstream(skins / "Broken.png") << "not a picture";
    TfrmMain& w = Window();
    w.Looks().SetSkinsFolder(QString::fromStdString(skins.string()));
    ASSERT_EQ(w.Looks().SkinList().size(), 2u);
    EXPECT_EQ(w.Looks().SkinList()[0].first, "Broken");

    Find<QAction>("miSkin_Moss")->trigger();
    EXPECT_EQ(Appearance().GetImage(), (skins / "Moss.png").string());
    EXPECT_FALSE(BackgroundPicture().isNull());

    TModalAnswers answers({[](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); }});
    Find<QAction>("miSkin_Broken")->trigger();
    QTest::qWait(30);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0], "frmErrorMessage");
    EXPECT_EQ(Appearance().GetImage(), (skins / "Broken.png").string());
    EXPECT_TRUE(Find<QAction>("miSkin_Broken")->isChecked());
    EXPECT_TRUE(w.isVisible());

    // A missing folder offers no skins at all.
    w.Looks().SetSkinsFolder(QString::fromStdString((folder_.Path() / "none").string()));
    EXPECT_TRUE(w.Looks().SkinList().empty());
    EXPECT_EQ(w.findChild<QAction*>("miSkin_Moss"), nullptr);
}

TEST_F(MainWindowTest, CancellingTheTransparencyDialogRestoresWhatWasStored) {
    Appearance().SetTransparency(10);
    TfrmMain& w = Window();
    const double before = w.windowOpacity();
    std::vector<int> previews;
    TModalAnswers answers({[&](QWidget* modal) {
        auto* percent = modal->findChild<QComboBox*>("cbxTransparency");
        EXPECT_EQ(percent->currentText(), "10");
        for (const char* value : {"50", "70"}) {
            percent->setCurrentText(value);
            previews.push_back(Appearance().GetTransparency());
        }
        EXPECT_NEAR(modal->windowOpacity(), 77 / 255.0, 0.01);
        static_cast<QDialog*>(modal)->reject();
    }});
    Find<QAction>("miTransparency")->trigger();
    EXPECT_EQ(previews, (std::vector<int>{50, 70}));
    EXPECT_EQ(Appearance().GetTransparency(), 10);
    EXPECT_EQ(w.windowOpacity(), before);

    TModalAnswers ok({[](QWidget* modal) {
        modal->findChild<QComboBox*>("cbxTransparency")->setCurrentText("30");
        static_cast<QDialog*>(modal)->accept();
    }});
    Find<QAction>("miTransparency")->trigger();
    EXPECT_EQ(Appearance().GetTransparency(), 30);
    EXPECT_NEAR(w.windowOpacity(), 179 / 255.0, 0.01);
}

TEST_F(MainWindowTest, TheHeaderTimeCyclesItsFormsAndFitsItsPanel) {
    List({{"/usr/bin/alpha", "Alpha", true}});
    Logged("/usr/bin/alpha", Now - 0.01, 30 * 60 + 59);
    Window();
    auto* title = Find<QLabel>("lblMain_TimeTitle");
    auto* value = Find<QLabel>("lblMain_Time");
    auto* link = Find<QLabel>("lblMain_TimeLink");
    EXPECT_EQ(value->text(), "00:30");
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(title->text(), "Time to Limit:");
    EXPECT_EQ(link->text(), "Show Time Now");
    EXPECT_EQ(value->text(), QString::fromStdString(
                                 FormatHourMinute(program_->Options().TimeLimit() - 30.0 / 1440)));
    EXPECT_EQ(Find<QWidget>("pnlMain_TimeOnline")->width(), title->width() + value->width() + 34);
    EXPECT_EQ(value->x(), title->x() + title->width() + 6);
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(value->text(), "10:00 AM");
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(title->text(), "Time on List:");
    EXPECT_EQ(link->text(), "Show Time to Limit");
}

// The scan runs on the stored period, not on the window's design value, counts a listed
// program in front and leaves its timer running; the header shows the new total at the
// next second's tick; the options reach the database at their own timer's tick.
TEST_F(MainWindowTest, TheTimersScanOnTheStoredPeriodShowTheTotalAndSaveTheOptions) {
    {
        TOptions options(folder_.Data());
        options.Edit().ScanPeriodSeconds = 5;
        auto item = std::make_unique<TMonitoredItem>();
        item->Name = "/usr/bin/alpha";
        item->Caption = "Alpha";
        item->ItemType = TMonitoredItemType::mitApp;
        options.Edit().MonitoredList.Add("Alpha", std::move(item));
        ASSERT_TRUE(options.Save());
    }
    Logged("/usr/bin/alpha", Now - 0.01, 55);
    desktop_.SetForeground(AddEditorWindow(desktop_, "/usr/bin/alpha"));
    Window();
    QTimer* scan = Timer("tmrScan");
    EXPECT_TRUE(scan->isActive());
    EXPECT_EQ(scan->interval(), 5000);
    EXPECT_EQ(Find<QLabel>("lblMain_Time")->text(), "00:00");

    folder_.Clock().Advance(5);
    Fire(scan);
    EXPECT_EQ(folder_.Scalar("actmondb.sqlite", "SELECT SUM(duration) FROM applications"), "60");
    EXPECT_TRUE(scan->isActive());
    Fire(Timer("tmrTime"));
    EXPECT_EQ(Find<QLabel>("lblMain_Time")->text(), "00:01");

    program_->Options().Edit().TimeLimitSeconds = 7200;
    Fire(Timer("tmrSaveOptions"));
    EXPECT_EQ(folder_.Scalar("settings.sqlite",
                             "SELECT value FROM settings WHERE name = 'TimeLimitSeconds'"),
              "7200");
    EXPECT_FALSE(Timer("tmrReminderOnly")->isActive()); // below the limit nothing re-arms
}

TEST_F(MainWindowTest, WhilePausedTheWindowStandsStill) {
    TfrmMain& w = Window();
    program_->Program().Engine().HandleNotice(TDesktopNotice::SessionLock);
    Appearance().SetAutohide(true);
    Fire(Timer("tmrDeactivation"));
    EXPECT_FALSE(Timer("tmrAutohide")->isActive()); // the deactivation check stood still
    program_->Program().Engine().HandleNotice(TDesktopNotice::SessionUnlock);
    QCursor::setPos(0, 0);
    w.move(w.x(), w.y());
    Fire(Timer("tmrDeactivation"));
    EXPECT_EQ(Timer("tmrAutohide")->isActive(), !w.Dock().ApplicationInFocus());
}

// A program timer whose handler fails is shown once in the error window, over the main
// window, and fires again as usual.
TEST_F(MainWindowTest, AFailingTimerHandlerIsReportedOnceAndTheTimerGoesOn) {
    TfrmMain& w = Window();
    QObject owner;
    TQtTimers timers(owner,
                     [&w](const std::exception& e) { ReportApplicationException(w.Kit(), e); });
    int fired = 0;
    const int id = timers.Add("tmrFailing", 60000, true, [&] {
        if (++fired == 1) {
            throw Exception("the program folder went away");
        }
    });
    TModalAnswers answers({[](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); }});
    auto* timer = owner.findChild<QTimer*>(QStringLiteral("tmrFailing"));
    ASSERT_NE(timer, nullptr);
    Fire(timer);
    QTest::qWait(30);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0], "frmErrorMessage");
    EXPECT_TRUE(timers.IsEnabled(id));
    Fire(timer);
    QTest::qWait(30);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(answers.Seen().size(), 1u);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindowTest, DockedAtTheRightEdgeADragPastTheMiddleDocksItLeft) {
    TfrmMain& w = Window();
    const QRect area = w.screen()->availableGeometry();
    EXPECT_EQ(w.x() + w.width(), area.x() + area.width());
    EXPECT_EQ(w.y(), area.y());
    EXPECT_FALSE(w.CanMoveTo(area.x() + 10, area.y() + area.height() - 50));
    EXPECT_EQ(w.x(), area.x());
    EXPECT_EQ(w.y() + w.height(), area.y() + area.height()); // Lite: the lower half
    EXPECT_EQ(Appearance().GetAlign(), 2);
    EXPECT_EQ(Appearance().GetAlignVertical(), 1);
    w.CanMoveTo(area.x() + area.width() - 100, area.y());
    EXPECT_EQ(w.x() + w.width(), area.x() + area.width());
    EXPECT_EQ(w.y(), area.y());
}

// OK stores what the person changed, and only that: lowering the limit alone leaves the day's
// one change of the action unused, so a later change of the action still holds at once.
TEST_F(MainWindowTest, TheTimeUpSettingsStoreWhatChangedOnOk) {
    Window();
    TOptions& options = program_->Options();
    {
        TModalAnswers answers({[](QWidget* modal) {
            modal->findChild<QLineEdit*>("medTimeLimit")->setText("01:45");
            QTest::keyClick(modal, Qt::Key_Return);
        }});
        Find<QAction>("actTimeEdit")->trigger();
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(answers.Seen()[0], "frmReminderSettings");
    }
    EXPECT_EQ(options.Edit().TimeLimitSeconds, 105 * 60);
    EXPECT_EQ(Find<QLineEdit>("edtTimeLimit")->text(), "01:45");
    EXPECT_FALSE(options.Policy().ExpirationActionChanged());
    {
        TModalAnswers answers({[](QWidget* modal) {
            modal->findChild<QComboBox*>("cbxExpirationAction")->setCurrentIndex(1);
            QTest::keyClick(modal, Qt::Key_Return);
        }});
        Find<QAction>("actTimeEdit")->trigger();
        ASSERT_EQ(answers.Seen().size(), 1u);
    }
    EXPECT_EQ(options.Edit().ExpirationAction, TExpirationAction::CloseListed);
    EXPECT_EQ(options.Edit().TimeLimitSeconds, 105 * 60);
    EXPECT_EQ(Find<QLineEdit>("edtAction")->text(),
              QString::fromStdString(options.ExpirationActionText()));
    EXPECT_FALSE(options.Policy().AdminSessionOpen());
}

// Autostart entries are the Linux desktops' (a Windows copy is set to start by its installer).
#ifndef _WIN32
// The person's own switch over the system's autostart entry: off writes their Hidden entry,
// on takes it away again, the system's entry stays as it is, and the check mark follows
// the files, also when they change while the program runs.
TEST_F(MainWindowTest, StartAtLoginTurnsTheSystemsAutostartOffAndOnForThePersonOnly) {
    const fs::path systemFolder = fs::path(std::getenv("XDG_CONFIG_DIRS")) / "autostart";
    const fs::path system = systemFolder / AutostartEntryName;
    const fs::path own = fs::path(UserAutostartFolder()) / AutostartEntryName;
    const std::string systemEntry = "[Desktop Entry]\nType=Application\nName=Tallywick\n"
                                    "Exec=tallywick\n";
    fs::create_directories(systemFolder);
    twtest::WriteAll(system.string(), systemEntry);
    struct TCleanUp {
        fs::path a, b;
        ~TCleanUp() {
            fs::remove(a);
            fs::remove(b);
        }
    } cleanUp{system, own};

    auto* action = Find<QAction>("actStartAtLogin");
    EXPECT_TRUE(action->isVisible());
    EXPECT_TRUE(action->isCheckable());
    EXPECT_TRUE(action->isChecked());

    action->trigger();
    EXPECT_FALSE(action->isChecked());
    EXPECT_NE(twtest::ReadAll(own.string()).find("\nHidden=true\n"), std::string::npos);
    EXPECT_EQ(twtest::ReadAll(system.string()), systemEntry);

    action->trigger();
    EXPECT_TRUE(action->isChecked());
    EXPECT_FALSE(fs::exists(own));
    EXPECT_EQ(twtest::ReadAll(system.string()), systemEntry);

    // Turned off elsewhere (by the desktop's own settings): the menu shows it when it opens.
    twtest::WriteAll(own.string(), systemEntry + "Hidden=true\n");
    emit Find<QMenu>("pmnAddons")->aboutToShow();
    EXPECT_FALSE(action->isChecked());
}
#endif

} // namespace
