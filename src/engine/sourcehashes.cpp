#include "engine/sourcehashes.h"

#include <QFile>
#include <QFileInfo>
#include <nettle/sha2.h>
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

QString sha256Of(const QString &path, const std::atomic<bool> *stop)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? sha256Hex(file, stop) : QString();
}

// A checksum taken beside the reading is wanted only once the page ends: its thread takes the
// time the reading and writing leave over rather than share the cores with them.
void yieldToOthers()
{
#ifdef Q_OS_LINUX
    setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), 19); // this thread alone
#endif
}

} // namespace

QString sha256Hex(QIODevice &device, const std::atomic<bool> *stop)
{
    if (!device.isReadable())
        return {};
    sha256_ctx hash;
    sha256_init(&hash);
    QByteArray piece(1 << 20, Qt::Uninitialized);
    for (;;) {
        if (stop && stop->load(std::memory_order_relaxed))
            return {};
        const qint64 got = device.read(piece.data(), piece.size());
        if (got < 0)
            return {};
        if (got == 0)
            break;
        sha256_update(&hash, size_t(got), reinterpret_cast<const uint8_t *>(piece.constData()));
    }
    if (!device.atEnd())
        return {};
    uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&hash, SHA256_DIGEST_SIZE, digest);
    return QString::fromLatin1(
        QByteArray::fromRawData(reinterpret_cast<const char *>(digest), SHA256_DIGEST_SIZE)
            .toHex());
}

void SourceHashes::leaveOff(Started &started)
{
    // Left off at its next piece; its thread is waited for.
    started.stop->store(true);
    if (started.sha256.valid())
        started.sha256.wait();
}

void SourceHashes::leaveOffAll()
{
    for (auto &[path, started] : m_started)
        leaveOff(started);
    m_started.clear();
}

SourceHashes::~SourceHashes()
{
    leaveOffAll();
}

SourceHashes &SourceHashes::operator=(const SourceHashes &other)
{
    if (this != &other) {
        leaveOffAll();
        m_known = other.m_known;
    }
    return *this;
}

SourceHashes &SourceHashes::operator=(SourceHashes &&other) noexcept
{
    if (this != &other) {
        leaveOffAll();
        std::swap(m_known, other.m_known);
        std::swap(m_started, other.m_started);
    }
    return *this;
}

void SourceHashes::start(const QString &path)
{
    for (auto it = m_started.begin(); it != m_started.end();) {
        if (it->first == path) {
            ++it;
            continue;
        }
        leaveOff(it->second);
        it = m_started.erase(it);
    }
    const QFileInfo info(path);
    if (!info.isFile() || m_started.count(path) > 0)
        return;
    const auto it = m_known.constFind(path);
    if (it != m_known.cend() && it->size == info.size() && it->modified == info.lastModified())
        return;
    Started started {
        info.size(), info.lastModified(), std::make_shared<std::atomic<bool>>(false), {}};
    try {
        started.sha256 = std::async(std::launch::async, [path, stop = started.stop] {
            yieldToOthers();
            return sha256Of(path, stop.get());
        });
    } catch (const std::system_error &) {
        return; // no thread to be had: hashed when asked
    }
    m_started.emplace(path, std::move(started));
}

QString SourceHashes::sha256(const QString &path, qint64 size, const QDateTime &modified)
{
    if (const auto started = m_started.find(path); started != m_started.end()) {
        const bool same = started->second.size == size && started->second.modified == modified;
        const QString sha = started->second.sha256.get();
        m_started.erase(started);
        if (same && !sha.isEmpty())
            m_known.insert(path, {size, modified, sha});
    }
    const auto it = m_known.constFind(path);
    if (it != m_known.cend() && it->size == size && it->modified == modified)
        return it->sha256;
    const QString sha = sha256Of(path, nullptr);
    if (!sha.isEmpty())
        m_known.insert(path, {size, modified, sha});
    return sha;
}
