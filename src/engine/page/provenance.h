#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

// Where a page came from, said at its end: people print chats for disputes, and a page that
// names the file it was made of with its checksum can be checked against that file later
// (`pelorin --verify PAGE`). A page may be made of several files, so it lists them.

struct ProvenanceSource
{
    // Relative to the page's folder when the file is in it or below it, else the file name
    // only: a page never names the user's folders.
    QString name;
    qint64 size = -1; // bytes; -1 when not known (a folder)
    QString sha256; // lower-case hex; empty when not hashed
    QString savedOn; // the export's own saved-on date, where it tells one
    QString note; // why there is no hash, where there is none

    bool operator==(const ProvenanceSource &) const = default;
};

struct Provenance
{
    QList<ProvenanceSource> sources;
    QString program; // "Pelorin 2.00"
    QString timeZone; // the zone the times are shown in; empty: as the log writes them
    QString convertedAt; // "2026-12-10T05:00:00Z"
};

// The page's provenance as visible HTML (a <footer> holding definition lists), the sources'
// facts also in data- attributes that readProvenance takes back (the name percent-encoded, so
// that a page in any encoding gives it back whole). Everything is escaped.
QString provenanceHtml(const Provenance &provenance);
// The same as plain lines, for the end of an indented text: each ends with "\n".
QString provenanceText(const Provenance &provenance);

// The sources named by the provenance at the end of a page's bytes; nothing when the page has
// none.
std::optional<QList<ProvenanceSource>> readProvenance(QByteArrayView page);

// What the title of a message's link says of its place in the source: a line number
// (`line` > 0), else a record id; empty when neither is known. A line's title is the number
// between these two (a page writes it without making a string of it).
inline constexpr char LineTitleBefore[] = "元のファイルの ";
inline constexpr char LineTitleAfter[] = " 行目";
QString placeTitle(qint64 line, QStringView record);
