#pragma once
// Controls and menu commands are addressed by their numeric ids: a widget's
// objectName is "id" + number ("id1029").

#include <QObject>
#include <QString>

inline QString ControlName(int id) {
    return QStringLiteral("id%1").arg(id);
}

inline void SetControlId(QObject* object, int id) {
    object->setObjectName(ControlName(id));
}

/// The first descendant of `root` of type T with the given id, or null.
template <class T>
T* FindControl(const QObject* root, int id) {
    return root->findChild<T*>(ControlName(id));
}
