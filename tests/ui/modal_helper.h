#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace twtest {

// Answers the next modal window once it is shown, from inside its event loop, so a test
// can drive a window that an operation opens and waits for. Stops watching when it goes
// out of scope, so an answer never reaches a later test's window.
class TModalAnswer {
  public:
    explicit TModalAnswer(std::function<void(QWidget*)> act) : poll_(std::make_unique<QTimer>()) {
        poll_->setInterval(5);
        QObject::connect(poll_.get(), &QTimer::timeout, [this, act = std::move(act)] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
                poll_->stop();
                act(modal);
            }
        });
        poll_->start();
    }

    // Answers the next modal window of this object name only (one shown over another).
    TModalAnswer(const QString& objectName, std::function<void(QWidget*)> act)
        : poll_(std::make_unique<QTimer>()) {
        poll_->setInterval(5);
        QObject::connect(poll_.get(), &QTimer::timeout, [this, objectName, act = std::move(act)] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->isVisible() && modal->objectName() == objectName) {
                poll_->stop();
                act(modal);
            }
        });
        poll_->start();
    }

  private:
    std::unique_ptr<QTimer> poll_;
};

} // namespace twtest
