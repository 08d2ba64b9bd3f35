#include "engine/intake.h"

#include "engine/read/formats/formats.h"

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
    return formats::isLogName(path);
}

QString outputStem(const QString &path, const QString &addStr)
{
    const qsizetype slash = qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    const QStringView folder = QStringView(path).left(slash + 1);
    const QStringView name = QStringView(path).sliced(slash + 1);
    // The log's extension goes ("chat.json" -> "_chat."); for any other name its last three
    // characters, as names were always made.
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype extension = dot >= 0 && formats::isLogName(name) ? name.size() - dot - 1 : 3;
    return folder + addStr + name.chopped(qMin<qsizetype>(extension, name.size()));
}

QString outputStem(const QString &path, const QString &addStr, const QString &outputFolder)
{
    // The name as the file system sees it; outputStem treats a "\" in it as it always does.
    return outputFolder + u'/' + outputStem(path.sliced(path.lastIndexOf(u'/') + 1), addStr);
}

namespace {

const QCollator &pathCollator()
{
    static const QCollator collator = [] {
        QCollator c {QLocale(QLocale::Japanese, QLocale::Japan)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

} // namespace

int compareLogPaths(const QString &a, const QString &b)
{
    const int byLocale = pathCollator().compare(a, b);
    if (byLocale != 0)
        return byLocale;
    return a.compare(b); // exact code-point order
}

int addLogFiles(Selection &selection, const QStringList &paths, const QString &addStr)
{
    // The logs are sorted once, by keys made once per path, and merged with those already
    // selected: as if each were inserted at its place in turn, without moving the list for
    // every one of them (a folder of a million logs).
    struct Added
    {
        QCollatorSortKey key;
        QString path;
    };
    std::vector<Added> added;
    for (const QString &path : paths) {
        if (isLogPath(path))
            added.push_back({pathCollator().sortKey(path), path});
    }
    const int accepted = int(added.size());
    if (accepted == 0) {
        selection.setHeldBack(true); // the stored pairs wait for an intake that takes one
        return 0;
    }
    const auto before = [](const Added &a, const Added &b) {
        const int byLocale = a.key.compare(b.key);
        return byLocale != 0 ? byLocale < 0 : a.path < b.path;
    };
    std::stable_sort(added.begin(), added.end(), before);
    added.erase(std::unique(added.begin(), added.end(),
                            [](const Added &a, const Added &b) { return a.path == b.path; }),
                added.end());

    const QList<Selection::Item> &held = selection.items();
    QList<Selection::Item> merged;
    merged.reserve(held.size() + qsizetype(added.size()));
    auto next = added.cbegin();
    for (const Selection::Item &item : held) {
        for (; next != added.cend() && compareLogPaths(next->path, item.path) < 0; ++next)
            merged.append({next->path, outputStem(next->path, addStr)});
        if (next != added.cend() && next->path == item.path)
            ++next; // selected already
        merged.append(item);
    }
    for (; next != added.cend(); ++next)
        merged.append({next->path, outputStem(next->path, addStr)});
    selection.setItems(std::move(merged));
    return accepted;
}
