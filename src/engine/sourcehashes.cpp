#include "engine/sourcehashes.h"

#include <QCryptographicHash>
#include <QFile>

QString sha256Hex(QIODevice &device)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&device))
        return {};
    return QString::fromLatin1(hash.result().toHex());
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
