#include "engine/convert/provenancerun.h"

#include "engine/read/exportpaths.h"
#include "engine/sourcehashes.h"
#include "engine/text/redaction.h"

#include <QDir>
#include <QFileInfo>
#include <QTimeZone>
#include <pelorin/version.h>

QString conversionTime()
{
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    const QDateTime at = ok ? QDateTime::fromSecsSinceEpoch(epoch, QTimeZone::utc())
                            : QDateTime::currentDateTimeUtc();
    return at.toString(u"yyyy-MM-dd'T'HH:mm:ss'Z'");
}

namespace {

// The file a log comes from: the export that holds it, for a chat of an export.
QString sourceFile(const QString &logPath)
{
    if (const auto split = exportpaths::split(logPath))
        return split->container;
    return logPath;
}

} // namespace

void startSourceHash(const QString &logPath, SourceHashes &hashes)
{
    hashes.start(QFileInfo(sourceFile(logPath)).absoluteFilePath());
}

ProvenanceSource sourceOf(const QString &logPath, const QString &pageFolder, SourceHashes &hashes)
{
    const QFileInfo info(sourceFile(logPath));
    ProvenanceSource source;
    const QString relative = QDir(pageFolder).relativeFilePath(info.absoluteFilePath());
    source.name = relative.startsWith(QStringLiteral("../")) || QDir::isAbsolutePath(relative)
        ? info.fileName()
        : relative;
    if (info.isDir()) {
        source.note = QStringLiteral("フォルダなのでハッシュはありません");
        return source;
    }
    source.size = info.size();
    source.sha256 = hashes.sha256(info.absoluteFilePath(), info.size(), info.lastModified());
    if (source.sha256.isEmpty())
        source.note = QStringLiteral("読めませんでした");
    return source;
}

Provenance provenanceOf(const QList<LogReader::SourceRead> &sources, const QString &outputPath,
                        const QString &timeZone, SourceHashes &hashes, const RedactedNames *names)
{
    Provenance p;
    for (const LogReader::SourceRead &read : sources) {
        ProvenanceSource source = sourceOf(read.path, QFileInfo(outputPath).absolutePath(), hashes);
        source.savedOn = read.savedOn;
        if (names) {
            names->redact(source.name);
            names->redact(source.savedOn);
        }
        p.sources.append(source);
    }
    p.program = QStringLiteral("Pelorin " PELORIN_VERSION);
    p.timeZone = timeZone;
    p.convertedAt = conversionTime();
    return p;
}
