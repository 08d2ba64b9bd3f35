#pragma once

#include "engine/read/linerole.h"
#include "engine/text/wildcard.h"
#include "settings/settings.h"

#include <QString>
#include <QStringView>

// The tests that sort the lines of a log, and the small state machine that frames notices.

class LineTests
{
public:
    explicit LineTests(const QString &headerText);

    // Contains the header text ("*" + headerText + "*"; wildcards in the header keep their
    // pattern meaning).
    bool isHeaderLine(QStringView line) const { return m_header.matches(line); }
    // Starts with "#" and a blank.
    static bool isHashLine(QStringView line);
    // Ends with "の発言 :" (the HTML page treats it like a hash line).
    static bool isStandardHeader(QStringView line);
    // Exactly the five-dash separator.
    static bool isSeparator(QStringView line) { return line == QStringView(SeparatorLine); }
    // Ends with "を送信しようとしています。".
    static bool isSendNotice(QStringView line);

    const QString &headerText() const { return m_headerText; }

private:
    QString m_headerText;
    WildcardPattern m_header;
};

enum class LineClass { Utterance, Notice, Frame };

// Fed every line that is not header-like (header and hash lines for the text output; those
// and standard headers for the page). A separator opens a frame; the line after it is a
// notice, and a send notice makes the next line a notice too; the line after the last
// notice is the closing frame line.
class NoticeState
{
public:
    LineClass classify(QStringView line);
    void reset() { m_state = 0; }
    int value() const { return m_state; }

private:
    int m_state = 0;
};

// Sorts the lines of a log that has no structure of its own (a text log) into roles by the
// line tests and the notice frames: header lines, hash lines (Plain), message lines, notices
// and their frames. `pageRules`: a page also takes a standard header line that is no header
// line as a plain line.
class LineSorter
{
public:
    LineSorter(const LineTests &tests, bool pageRules)
        : m_tests(tests)
        , m_pageRules(pageRules)
    {
    }

    LineRole sort(QStringView line);
    // After sort() gave Frame: whether that line opened a notice (the next line is one).
    bool openedNotice() const { return m_notices.value() == 2; }

private:
    const LineTests &m_tests;
    bool m_pageRules;
    NoticeState m_notices;
};
