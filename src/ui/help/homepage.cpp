#include "homepage.h"

#include <QDesktopServices>
#include <QFileInfo>

QString versionShortForm()
{
    return QString::number(VersionMajor) + u'.' + QString::number(VersionMinor)
        + QString::number(VersionRevision);
}

QString toFullWidth(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= 0x21 && u <= 0x7E)
            c = QChar(char16_t(u + 0xFEE0));
    }
    return out;
}

QUrl homePageUrl()
{
    const QString installed = QStringLiteral(PELORIN_DATA_DIR "/README.md");
    if (QFileInfo::exists(installed))
        return QUrl::fromLocalFile(installed);
    return QUrl::fromLocalFile(QStringLiteral(PELORIN_SOURCE_DIR "/README.md"));
}

void openHomePage()
{
    QDesktopServices::openUrl(homePageUrl());
}
