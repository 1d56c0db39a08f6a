// A real Wayland client for the Wayland desktop tests: one ordinary window with the title
// given, whose app id is "tallywick-test-client". It prints "ready" once the window is shown
// and ends when the compositor (or anyone) closes the window.
//   wayland_test_client TITLE
#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication::setDesktopFileName("tallywick-test-client");
    QApplication app(argc, argv);
    const QString title = argc > 1 ? QString::fromUtf8(argv[1]) : QStringLiteral("Test client");
    QLabel window(title);
    window.setWindowTitle(title);
    window.setAccessibleName(title);
    window.resize(320, 200);
    window.show();
    QTimer::singleShot(0, [] {
        std::puts("ready");
        std::fflush(stdout);
    });
    return app.exec();
}
