#pragma once
// The main window, finding controls by id and answering the next modal
// dialog: shared by the main window's tests and benchmarks.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

#include "control_ids.h"
#include "main_dlg.h"
#include "main_ids.h"

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

/// Runs `act` on the next popup menu (`popup`) or modal window, looking for
/// one every 10 ms for at most five seconds, or until `owner` goes away.
inline void onNextWindow(QObject* owner, bool popup, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(owner);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, popup, act] {
        QWidget* w = popup ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
        if (w != nullptr || ++*tries > 500) {
            timer->stop();
            timer->deleteLater();
            if (w != nullptr) {
                act(w);
            }
        }
    });
    timer->start(10);
}

/// Runs `act` on the next modal dialog (see onNextWindow).
inline void onNextModal(QObject* owner, std::function<void(QWidget*)> act) {
    onNextWindow(owner, false, std::move(act));
}
