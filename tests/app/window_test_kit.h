#pragma once
// Finding controls by id and answering the next modal dialog: shared by the
// main window's test kits.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include "control_ids.h"

template <class T>
T* control(const QObject* root, int id) {
    T* c = FindControl<T>(root, id);
    if (c == nullptr) {
        qFatal("control id%d not found", id);
    }
    return c;
}

inline QString textOf(const QObject* root, int id) {
    return control<QWidget>(root, id)->property("text").toString();
}

/// Runs `act` on the next modal dialog, looking for one every 10 ms for at
/// most five seconds, or until `owner` goes away.
inline void onNextModal(QObject* owner, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(owner);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr || ++*tries > 500) {
            timer->stop();
            timer->deleteLater();
            if (modal != nullptr) {
                act(modal);
            }
        }
    });
    timer->start(10);
}
