#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A file's bytes; "<missing>" when it cannot be read, which no expected content equals.
inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
