#pragma once

#include "engine/page/classic/classichead.h"
#include "engine/read/linerole.h"
#include "engine/text/linetests.h"

#include <QByteArray>
#include <QHash>
#include <QString>

struct ByteTests;
class SpeakerKeys;

// Turns the lines of a log, in order, into the lines of the classic page's body: an utterance's
// header line opens a font element of its speaker's class that the next header line (or the page
// end) closes, message lines become "<dd>" entries, notices take the narration font, and frame,
// hash and stray standard-header lines the body font.
class ClassicBodyWriter
{
public:
    ClassicBodyWriter(const LineTests &tests, const SpeakerKeys &keys,
                      const ClassicSpeakers &speakers, const ClassicLook &look, bool colorNames);

    // The page's encoding: code page 932 with characters it lacks as numeric references (the
    // default), or UTF-8.
    void setUtf8Page(bool utf8Page) { m_utf8Page = utf8Page; }
    // Appends the page text for the next line of the log (without its CR LF). `role`: what the
    // log's structure says the line is; Unknown lines are sorted by the line tests.
    LineRole write(const QString &line, LineRole role, QByteArray &out);
    // The same for a line given as the page's bytes already (PageWriter::writeLineBytes): false,
    // with nothing written, where they leave its role open.
    bool writeBytes(QByteArrayView bytes, const ByteTests &tests, QByteArray &out);

private:
    void headerLine(const QString &line, LineRole role, QByteArray &out);
    // The markup of a header line of `speaker` (>= 0) around its prefix and the rest, each
    // appended by `prefix(out)` and `rest(out)`.
    template<typename Prefix, typename Rest>
    void headerMarkup(qsizetype speaker, const Prefix &prefix, const Rest &rest, QByteArray &out);
    // The speaker of a header prefix given as its bytes, decoded once per prefix.
    qsizetype speakerOfBytes(QByteArrayView prefix, const ByteTests &tests);
    // A line of any other role, its text appended by `text(out)`.
    template<typename Text> void otherLine(LineRole role, const Text &text, QByteArray &out);
    void appendText(QStringView text, QByteArray &out) const;

    LineSorter m_sorter;
    const SpeakerKeys &m_keys;
    const ClassicSpeakers &m_speakers;
    const ClassicLook &m_look;
    bool m_colorNames;
    qsizetype m_plainRun = 0;
    bool m_firstHeader = true;
    bool m_utf8Page = false;
    QHash<QByteArray, qsizetype> m_prefixSpeakers; // header prefix bytes -> speaker (or -1)
};
