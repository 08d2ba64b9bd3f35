#pragma once

#include "htmlhead.h"
#include "linetests.h"

#include <QString>

class SpeakerKeys;

// Turns the lines of a log, in order, into the lines of the page body: an utterance's header
// line opens a font element of its speaker's class that the next header line (or the page end)
// closes, message lines become "<dd>" entries, notices take the narration font, and frame,
// hash and stray standard-header lines the body font.
class BodyWriter
{
public:
    BodyWriter(const LineTests &tests, const SpeakerKeys &keys, const PageSpeakers &speakers,
               const PageStyle &style, bool colorNames);

    // The page text for the next line of the log (without its CR LF).
    QString convert(const QString &line);

private:
    QString headerLine(const QString &line);
    QString plainLine(const QString &line);

    const LineTests &m_tests;
    const SpeakerKeys &m_keys;
    const PageSpeakers &m_speakers;
    const PageStyle &m_style;
    bool m_colorNames;
    NoticeState m_notices;
    qsizetype m_plainRun = 0;
    bool m_firstHeader = true;
};
