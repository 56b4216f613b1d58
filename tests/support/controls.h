#pragma once
// A window's control found by its objectName. A test asking for one the
// window lacks stops there, naming it, rather than crashing on a null later.
#include <QObject>
#include <QString>

class QWidget;

namespace Controls {
[[noreturn]] void missing(const QObject *owner, const QString &name, const char *type);
}

template <typename T = QWidget> T *child(const QObject *owner, const QString &name)
{
    T *found = owner ? owner->findChild<T *>(name) : nullptr;
    if (!found)
        Controls::missing(owner, name, T::staticMetaObject.className());
    return found;
}

template <typename T = QWidget> T *child(const QObject &owner, const QString &name)
{
    return child<T>(&owner, name);
}
