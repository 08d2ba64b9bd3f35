#include "homepage.h"

#include "pelorin/version.h"
#include "settings/settingslocation.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>

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
    return QUrl::fromLocalFile(QDir(docDirFor(QCoreApplication::applicationDirPath()))
                                   .filePath(QStringLiteral("README.html")));
}

QUrl releasesPageUrl()
{
    return QUrl(QStringLiteral(PELORIN_RELEASES_PAGE));
}

QString homePageLabel()
{
    return QStringLiteral("Pelorin の説明書（ブラウザで開きます）");
}

void openHomePage()
{
    QDesktopServices::openUrl(homePageUrl());
}
