#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Calls `act` with each new modal widget until it returns true. Start it
// before the call that runs a dialog's own loop; the dialog is then answered
// from inside that loop.
inline void whenModal(std::function<bool(QWidget*)> act) {
    auto* timer = new QTimer;
    auto seen = std::make_shared<QWidget*>(nullptr);
    QObject::connect(timer, &QTimer::timeout, [timer, seen, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == *seen) return;
        *seen = modal;
        if (act(modal)) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}
