// The first start and the add wizard as a person meets them, on a real X server with a window
// manager, in a fresh data folder: the settings wizard comes first, then the main window's
// add button opens the add wizard, where a typed site and a program picked from the Fast
// scan of the session's menu end up on the list, on screen and in settings.sqlite. Every
// control met on the way tells the accessibility tools its name and role.
#include "dialogs/program_scan.h"
#include "dialogs/settings_form.h"
#include "platform/fake/fake_desktop.h"
#include "skin/image_button.h"
#include "skin/item_rows.h"
#include "storage/date_format.h"
#include "storage/options.h"
#include "support/child_process.h"
#include "support/file_text.h"
#include "support/temp_dir.h"
#include "support/test_data_folder.h"
#include "ui/main_window.h"
#include "ui/modal_helper.h"
#include "ui/test_program.h"
#include "ui/window_helpers.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace tw;
using twtest::Captions;
using twtest::Child;
using twtest::Click;

const TDateTime Now = EncodeDate(2026, 3, 14) + EncodeTime(10, 0, 0, 0);

// Every visible control of the window, as the accessibility tools see it.
void ExpectAccessible(QWidget* window) {
    const struct {
        const char* className;
        QAccessible::Role role;
    } controls[] = {
        {"QLineEdit", QAccessible::EditableText},   {"QComboBox", QAccessible::ComboBox},
        {"QListWidget", QAccessible::List},         {"QPlainTextEdit", QAccessible::EditableText},
        {"QProgressBar", QAccessible::ProgressBar}, {"tw::TImageButton", QAccessible::Button},
        {"QLabel", QAccessible::StaticText}};
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible()) {
            continue;
        }
        for (const auto& control : controls) {
            if (widget->metaObject()->className() != QLatin1String(control.className)) {
                continue;
            }
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(face, nullptr) << widget->objectName().toStdString();
            const bool picture =
                control.role == QAccessible::StaticText && face->role() == QAccessible::Graphic;
            EXPECT_TRUE(face->role() == control.role || picture)
                << widget->objectName().toStdString() << " role " << face->role();
            EXPECT_FALSE(face->text(QAccessible::Name).isEmpty())
                << window->objectName().toStdString() << ": " << widget->objectName().toStdString()
                << " has no accessible name";
        }
    }
}

// Where the X server has the window's top-left corner. Qt's own idea of it must agree: combo
// lists and menus open where Qt believes the window stands.
QPoint ServerPlace(const QWidget& window) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return {-1, -1};
    }
    int x = -1;
    int y = -1;
    Window child = 0;
    XTranslateCoordinates(display, static_cast<Window>(window.winId()), DefaultRootWindow(display),
                          0, 0, &x, &y, &child);
    XCloseDisplay(display);
    return {x, y};
}

class X11Wizards : public ::testing::Test {
  protected:
    X11Wizards() {
        // The session's menu: one entry, for a program that exists on every test machine.
        fs::create_directories(menu_.Path() / "applications");
        twtest::WriteAll((menu_.Path() / "applications" / "viewer.desktop").string(),
                         "[Desktop Entry]\nType=Application\nName=Window Properties\nExec=xprop "
                         "-root\n");
        savedDirs_ = qgetenv("XDG_DATA_DIRS");
        savedHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(menu_.Path().string()));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home_.Path().string()));
    }
    ~X11Wizards() override {
        qputenv("XDG_DATA_DIRS", savedDirs_);
        qputenv("XDG_DATA_HOME", savedHome_);
    }

    twtest::TestDataFolder folder_{Now};
    twtest::TempDir menu_;
    twtest::TempDir home_;
    QByteArray savedDirs_;
    QByteArray savedHome_;
};

TEST_F(X11Wizards, FirstStartThenASiteAndAScannedProgramReachTheList) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    TFakeDesktop desktop;
    twtest::TTestProgram tallywick(desktop, folder_, false);
    TOptions& options = tallywick.Options();
    ASSERT_FALSE(options.Edit().IsNotFirstRun);

    int settingsShown = 0;
    {
        twtest::TModalAnswer apply(QStringLiteral("frmSettings"), [&](QWidget* wizard) {
            ++settingsShown;
            EXPECT_TRUE(QTest::qWaitForWindowExposed(wizard));
            EXPECT_EQ(wizard->windowTitle(), "Settings");
            // Reparented by the window manager, the wizard still knows where it stands.
            QPoint server;
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    server = ServerPlace(*wizard);
                    return server == wizard->mapToGlobal(QPoint(0, 0));
                },
                3000))
                << "the server has it at " << server.x() << "," << server.y() << ", Qt at "
                << wizard->mapToGlobal(QPoint(0, 0)).x() << ","
                << wizard->mapToGlobal(QPoint(0, 0)).y();
            for (int page = 0; page < 4; ++page) {
                ExpectAccessible(wizard);
                QTest::keyClick(wizard, Qt::Key_Return); // Next >, then Apply
            }
        });
        ShowFirstRunSettings(tallywick.Kit(), options, desktop);
    }
    ASSERT_EQ(settingsShown, 1);
    EXPECT_EQ(folder_.Scalar("settings.sqlite",
                             "SELECT value FROM settings WHERE name = 'IsNotFirstRun'"),
              "1");

    tallywick.Program().Start();
    TfrmMain window(tallywick.Kit(), desktop, options, tallywick.Program());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Child<QAction>(window, "actViewMain")->trigger();

    const std::string program = fs::canonical("/usr/bin/xprop").string();
    bool finished = false;
    twtest::TModalAnswer add(QStringLiteral("frmAppSiteAddWizard"), [&](QWidget* wizard) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(wizard));
        ExpectAccessible(wizard);
        QTest::keyClicks(Child<QLineEdit>(*wizard, "edURL"), "news.example.com");
        QTest::keyClick(Child<QLineEdit>(*wizard, "edURL"), Qt::Key_Return); // Add
        EXPECT_EQ(Captions(*Child<QListWidget>(*wizard, "lbxSites")),
                  QStringList{"news.example.com"});
        Click(*wizard, "btnNext");
        Click(*wizard, "btnScan"); // the Fast scan
        auto* scan = Child<TImageButton>(*wizard, "btnScan");
        QTRY_COMPARE_WITH_TIMEOUT(scan->Caption(), QStringLiteral("Scan"), 20000);
        ExpectAccessible(wizard);
        auto* found = Child<QListWidget>(*wizard, "lbxAppProcesses");
        const auto rows = found->findItems("Window Properties", Qt::MatchExactly);
        ASSERT_EQ(rows.size(), 1) << Captions(*found).join(", ").toStdString();
        EXPECT_EQ(RowItem(*found, found->row(rows.first()))->Name, program);
        twtest::ClickCheckMark(*found, "Window Properties");
        Click(*wizard, "btnNext");
        ExpectAccessible(wizard);
        Click(*wizard, "btnNext"); // Finish
        finished = true;
    });
    Click(window, "btnApp_Add");
    ASSERT_TRUE(finished);

    const auto* today = Child<QListWidget>(window, "lbxMain_Applications");
    EXPECT_EQ(Captions(*today), (QStringList{"news.example.com", "Window Properties"}));
    EXPECT_EQ(folder_.Scalar("settings.sqlite", "SELECT name FROM websites_list"),
              "news.example.com");
    EXPECT_EQ(folder_.Scalar("settings.sqlite", "SELECT name || '=' || caption || '=' || active "
                                                "FROM applications_list"),
              program + "=Window Properties=1");
}

// On the real desktop the Fast scan offers a running program that owns a window, and leaves
// out one that runs without any.
TEST_F(X11Wizards, TheFastScanOffersOnlyRunningProgramsThatOwnAWindow) {
    const std::unique_ptr<TDesktop> desktop = CreateDesktop();
    twtest::TClient windowed({"a window of its own"}, false, "/usr/bin/xmessage");
    twtest::TClient background({"60"}, false, "/usr/bin/sleep");
    const std::string withWindow = fs::canonical("/usr/bin/xmessage").string();
    const TProgramSources sources = SystemProgramSources(*desktop, folder_.Log());
    ASSERT_TRUE(
        twtest::WaitUntil([&] { return std::ranges::count(sources.windowOwners(), withWindow); }));
    TProgramScan scan(sources);
    QObject context;
    std::vector<std::string> offered;
    bool done = false;
    scan.Start(false, &context, [&](TScanFinds finds) {
        for (const std::string& line : finds.running) {
            offered.push_back(line.substr(0, line.find('=')));
        }
        done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
    EXPECT_EQ(std::ranges::count(offered, withWindow), 1);
    EXPECT_EQ(std::ranges::count(offered, fs::canonical("/usr/bin/sleep").string()), 0);
}

} // namespace
