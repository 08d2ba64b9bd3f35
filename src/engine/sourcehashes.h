#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

class QIODevice;

// SHA-256 of everything `device` gives, read in pieces (a source may be gigabytes); empty when
// reading fails.
QString sha256Hex(QIODevice &device);

// The checksums of a run's sources. An export of many chats is one file for all its pages: it is
// hashed once, and again only when its size or time changed.
class SourceHashes
{
public:
    // Lower-case hex; empty when the file cannot be read.
    QString sha256(const QString &path, qint64 size, const QDateTime &modified);

private:
    struct Known
    {
        qint64 size;
        QDateTime modified;
        QString sha256;
    };
    QHash<QString, Known> m_known;
};
