#pragma once
// Driving the setup dialogs the way a user does: controls found by id, clicks
// and typing through QTest.

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

#include "control_ids.h"
#include "dialog_kit.h"

template <class T>
T* Control(const QWidget* dialog, int id) {
    T* c = FindControl<T>(dialog, id);
    if (c == nullptr) {
        qFatal("control id%d missing", id);
    }
    return c;
}

inline void Click(QAbstractButton* button) {
    // Check boxes and radio buttons react only on their indicator and text.
    const bool indicator = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
    const QPoint at = indicator ? QPoint(6, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

inline void Click(const QWidget* dialog, int id) {
    Click(Control<QAbstractButton>(dialog, id));
}

/// Replaces the edit's text by typing.
inline void Type(const QWidget* dialog, int id, const QString& text) {
    auto* edit = Control<QLineEdit>(dialog, id);
    edit->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Backspace);
    } else {
        QTest::keyClicks(edit, text);
    }
}

inline QString TextOf(const QWidget* dialog, int id) {
    return Control<QWidget>(dialog, id)->property("text").toString();
}

int RunBuildDlgTests(int argc, char** argv);
int RunFindSetupDlgTests(int argc, char** argv);
int RunDeleteSetupDlgTests(int argc, char** argv);
int RunFolderDialogTests(int argc, char** argv);
