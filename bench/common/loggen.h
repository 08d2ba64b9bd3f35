#pragma once

#include <QByteArray>
#include <QString>

// Deterministic generator of large Shift-JIS chat logs for the benchmarks: header lines
// ("ぽぷる の発言："), Japanese and ASCII message lines, optional notice blocks framed by
// separator lines and optional "# " lines, all with CR LF line ends. The same options always
// give the same bytes.
namespace loggen {

struct Options
{
    qint64 targetBytes = 40 * 1024 * 1024; // the log ends with the utterance that reaches it
    int speakers = 8; // distinct speaker names, 1 or more
    int noticeEvery = 40; // a notice block after every N utterances; 0 = none
    int hashEvery = 0; // a "# " line after every N utterances; 0 = none
    QString headerText = QStringLiteral(" の発言：");
    quint32 seed = 20261208;
};

// The log as code page 932 bytes.
QByteArray generate(const Options &options);
// Writes the log to `path`; false when the file could not be written.
bool writeFile(const QString &path, const Options &options);

// The speaker names the generator uses, in order of first use (the first `speakers` of them).
QString speakerName(int index);

} // namespace loggen
