#pragma once

#include <QHash>
#include <QMultiHash>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

class ExportFiles;

// The files of a chat export that its page shows or links, copied out of the export into a
// folder beside the page ("_chat.htm.files/"), so that the page works on its own and nothing
// is ever unpacked into the user's folders besides it. A file is copied when the page first
// names it; a ZIP or TAR is read in place. Nothing outside the export is copied (no "..", no
// absolute path, no address), and nothing is written through a link.
class PageFiles
{
public:
    PageFiles(const QString &logPath, const QString &pagePath);
    ~PageFiles();
    PageFiles(const PageFiles &) = delete;
    PageFiles &operator=(const PageFiles &) = delete;

    // The address of the copy of `exportPath` (a file's path as the export names it), relative
    // to the page and ready for an attribute; empty when the export does not hold it or it
    // could not be copied.
    QString place(const QString &exportPath);
    // Applied to the name of every copy (a redacted page's copies name no one).
    void setNameFilter(std::function<void(QString &)> filter) { m_nameFilter = std::move(filter); }
    // The first copy that failed, and why; empty when none did.
    const QString &failedFile() const { return m_failedFile; }
    const QString &error() const { return m_error; }

private:
    QString find(const QString &exportPath);
    bool copy(const QString &found, const QString &target);
    void fail(const QString &file, const QString &reason);

    QString m_logFolder; // a log on its own: its files lie beside it
    std::shared_ptr<const ExportFiles> m_export; // a chat of an export: the export
    // The export's names by their last part ("photo_1.jpg"), made once: a page of many
    // pictures looks each up without going through every name of the export.
    QMultiHash<QString, QString> m_byFileName;
    bool m_namesRead = false;
    QString m_folder; // where the copies go
    QString m_folderName; // its name, as the page's addresses start
    bool m_folderReady = false;
    QHash<QString, QString> m_placed; // export path -> address ("" when it failed)
    QSet<QString> m_taken; // the copies' names
    QString m_failedFile;
    QString m_error;
    std::function<void(QString &)> m_nameFilter;
};
