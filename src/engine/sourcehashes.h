#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <atomic>
#include <future>
#include <map>
#include <memory>

class QIODevice;

// SHA-256 of everything `device` gives, read in pieces (a source may be gigabytes); empty when
// reading fails or `stop` is set.
QString sha256Hex(QIODevice &device, const std::atomic<bool> *stop = nullptr);

// The checksums of a run's sources. An export of many chats is one file for all its pages: it is
// hashed once, and again only when its size or time changed. A source can be hashed beside the
// reading of it, on a thread of its own: a large export's checksum then costs no time of its own.
class SourceHashes
{
public:
    SourceHashes() = default;
    // A copy knows the checksums taken; those still being taken stay with the original.
    SourceHashes(const SourceHashes &other)
        : m_known(other.m_known)
    {
    }
    SourceHashes &operator=(const SourceHashes &other);
    // A new run's checksums in place of the last one's, whose started ones are left off.
    SourceHashes &operator=(SourceHashes &&other) noexcept;
    ~SourceHashes();

    // Starts hashing the file at `path` (absolute) on a thread of its own, unless it is known.
    // A checksum started for another file and not asked for is left off: its log was not
    // written.
    void start(const QString &path);
    // Lower-case hex; empty when the file cannot be read.
    QString sha256(const QString &path, qint64 size, const QDateTime &modified);

private:
    struct Known
    {
        qint64 size;
        QDateTime modified;
        QString sha256;
    };
    struct Started
    {
        qint64 size;
        QDateTime modified;
        std::shared_ptr<std::atomic<bool>> stop;
        std::future<QString> sha256;
    };
    static void leaveOff(Started &started);
    void leaveOffAll();

    QHash<QString, Known> m_known;
    std::map<QString, Started> m_started;
};
