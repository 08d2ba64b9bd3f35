#include "engine/sourcehashes.h"

#include <QFile>
#include <nettle/sha2.h>

QString sha256Hex(QIODevice &device)
{
    if (!device.isReadable())
        return {};
    sha256_ctx hash;
    sha256_init(&hash);
    QByteArray piece(1 << 20, Qt::Uninitialized);
    for (;;) {
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

QString SourceHashes::sha256(const QString &path, qint64 size, const QDateTime &modified)
{
    const auto it = m_known.constFind(path);
    if (it != m_known.cend() && it->size == size && it->modified == modified)
        return it->sha256;
    QFile file(path);
    const QString sha = file.open(QIODevice::ReadOnly) ? sha256Hex(file) : QString();
    if (!sha.isEmpty())
        m_known.insert(path, {size, modified, sha});
    return sha;
}
