#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace twtest {

// Runs `act` on the next modal window once it is shown, from inside its event loop, so a
// test can answer a window that an operation opens and waits for.
inline void WhenModalShown(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            act(modal);
        }
    });
    poll->start();
}

} // namespace twtest
