#pragma once

// Running the built program headless on hostile files, and looking at what it left behind.

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace hostile {

#ifdef PELORIN_SANITIZED
inline constexpr bool Sanitized = true;
#else
inline constexpr bool Sanitized = false;
#endif

inline QString programPath()
{
    return QStringLiteral(PELORIN_BINARY_DIR "/bin/pelorin");
}

// No display and no platform plugin: the batch run must not need either.
inline QProcessEnvironment headlessEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8")); // messages in English
    return env;
}

struct Result
{
    bool finished = false;
    int exitCode = -1;
    QString err;
    qint64 elapsedMs = 0;
};

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size()
        && f.flush();
}

// A digest instead of the bytes, for files too big to keep twice.
inline QByteArray digestOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    return hash.result();
}

// The directory's entries, sorted, without "." and "..".
inline QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace hostile
