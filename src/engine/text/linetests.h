#pragma once

#include "engine/read/linerole.h"
#include "engine/text/wildcard.h"
#include "settings/settings.h"

#include <QString>
#include <QStringView>

// The tests that sort the lines of a log, and the small state machine that frames notices.

// How a notice that a file is being sent ends.
inline const QString SendNoticeTail = QStringLiteral("を送信しようとしています。");

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
    LineClass classify(QStringView line)
    {
        return classifyBy([line] { return LineTests::isSeparator(line); },
                          [line] { return LineTests::isSendNotice(line); });
    }
    // The same for a line whose tests the caller answers; each is asked only when the state
    // needs it.
    template<typename IsSeparator, typename IsSendNotice>
    LineClass classifyBy(IsSeparator isSeparator, IsSendNotice isSendNotice)
    {
        if (m_state == 0 && isSeparator())
            m_state = 1;
        LineClass cls = LineClass::Utterance;
        if (m_state == 2) {
            cls = LineClass::Notice;
            if (isSendNotice())
                m_state = 1;
        } else if (m_state == 1 || m_state == 3) {
            cls = LineClass::Frame;
        }
        if (m_state > 0 && ++m_state == 4)
            m_state = 0;
        return cls;
    }
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

    LineRole sort(QStringView line)
    {
        if (m_tests.isHeaderLine(line))
            return LineRole::Header;
        return sortOther(
            LineTests::isHashLine(line) || (m_pageRules && LineTests::isStandardHeader(line)),
            [line] { return LineTests::isSeparator(line); },
            [line] { return LineTests::isSendNotice(line); });
    }
    // sort() for a line known to be no header line, whose tests the caller answers (a line
    // still in its bytes): `plain`, a hash line (for a page also a standard header).
    template<typename IsSeparator, typename IsSendNotice>
    LineRole sortOther(bool plain, IsSeparator isSeparator, IsSendNotice isSendNotice)
    {
        if (plain)
            return LineRole::Plain;
        switch (m_notices.classifyBy(isSeparator, isSendNotice)) {
        case LineClass::Utterance:
            return LineRole::Message;
        case LineClass::Notice:
            return LineRole::Notice;
        case LineClass::Frame:
            break;
        }
        return LineRole::Frame;
    }
    // After sort() gave Frame: whether that line opened a notice (the next line is one).
    bool openedNotice() const { return m_notices.value() == 2; }

private:
    const LineTests &m_tests;
    bool m_pageRules;
    NoticeState m_notices;
};
