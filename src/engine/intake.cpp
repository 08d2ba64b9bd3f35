#include "engine/intake.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

QStringList splitLogPathText(const QString &text)
{
    QStringList items;
    qsizetype start = 0;
    qsizetype search = 0;
    for (;;) {
        const qsizetype blank = text.indexOf(u' ', search);
        if (blank < 0)
            break;
        const bool drive = blank + 2 < text.size() && text[blank + 2] == u':';
        const bool root = blank + 1 < text.size() && text[blank + 1] == u'/';
        if (drive || root) {
            items.append(text.sliced(start, blank - start));
            start = blank + 1;
        }
        search = blank + 1;
    }
    items.append(text.sliced(start));
    return items;
}

bool isLogPath(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    const QStringView ext = QStringView(path).sliced(dot + 1).left(3);
    return ext == u"TXT" || ext == u"txt" || ext == u"XML" || ext == u"xml";
}

QString outputStem(const QString &path, const QString &addStr)
{
    const qsizetype slash = qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    const QStringView folder = QStringView(path).left(slash + 1);
    const QStringView name = QStringView(path).sliced(slash + 1);
    return folder + addStr + name.chopped(qMin<qsizetype>(3, name.size()));
}

QString outputStem(const QString &path, const QString &addStr, const QString &outputFolder)
{
    // The name as the file system sees it; outputStem treats a "\" in it as it always does.
    return outputFolder + u'/' + outputStem(path.sliced(path.lastIndexOf(u'/') + 1), addStr);
}

int compareLogPaths(const QString &a, const QString &b)
{
    static const QCollator collator = [] {
        QCollator c {QLocale(QLocale::Japanese, QLocale::Japan)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const int byLocale = collator.compare(a, b);
    if (byLocale != 0)
        return byLocale;
    return a.compare(b); // exact code-point order
}

int addLogFiles(Selection &selection, const QStringList &paths, const QString &addStr)
{
    selection.setHeldBack(true);
    int accepted = 0;
    for (const QString &path : paths) {
        if (!isLogPath(path))
            continue;
        ++accepted;
        const auto &items = selection.items();
        const auto at = std::lower_bound(items.begin(), items.end(), path,
                                         [](const Selection::Item &item, const QString &p) {
                                             return compareLogPaths(item.path, p) < 0;
                                         });
        if (at != items.end() && at->path == path)
            continue;
        selection.insert(at - items.begin(), {path, outputStem(path, addStr)});
    }
    if (accepted > 0)
        selection.setHeldBack(false);
    return accepted;
}
