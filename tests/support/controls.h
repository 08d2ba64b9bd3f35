#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

// The child of `parent` with the objectName `name`. A missing control fails the test with its
// name (Qt Test reports the fatal message as a failure) rather than crashing on a null pointer.
template<class T> T *control(const QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no %s named \"%s\" in %s", T::staticMetaObject.className(), qPrintable(name),
               qPrintable(parent->objectName()));
    return found;
}
