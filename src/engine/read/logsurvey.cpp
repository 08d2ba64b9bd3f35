// Telling what a log is before it is read: its encoding and line ends, whether it is an XML
// history or a LINE export, and what a file that holds no speakers is instead.
#include "engine/read/formats/formats.h"
#include "engine/read/logkind.h"
#include "engine/read/logreader.h"

#include <cerrno>
#include <unistd.h>

bool LogReader::detect(textcodec::Choice choice)
{
    textcodec::Detector detector(choice);
    QByteArray piece(ChunkBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 got = m_file.read(piece.data(), ChunkBytes);
        if (got < 0) {
            fail(Status::ReadError, m_file.errorString());
            return false;
        }
        if (got == 0)
            break;
        detector.feed(QByteArrayView(piece.constData(), got));
        pieceDone();
    }
    m_format.detection = detector.result();
    if (m_format.detection.looksLikeUtf16) {
        // UTF-16 without a mark: its line ends are counted again, unit by unit.
        if (!m_file.seek(0)) {
            fail(Status::ReadError, m_file.errorString());
            return false;
        }
        return detect(textcodec::Choice::Utf16);
    }
    if (choice == textcodec::Choice::Auto
        && m_format.detection.encoding == textcodec::Encoding::ShiftJis) {
        // LINE writes its exports in UTF-8 only: one with no character beyond ASCII, or with
        // damaged bytes, is UTF-8 still (damaged bytes are kept as they are).
        char head[7];
        if (m_file.seek(0) && m_file.read(head, sizeof head) == qint64(sizeof head)
            && QByteArrayView(head, sizeof head) == "[LINE] ")
            m_format.detection.encoding = textcodec::Encoding::Utf8;
    }
    if (textcodec::isUtf16(m_format.detection.encoding) && m_file.size() % 2 != 0) {
        // A unit cut in half: no UTF-16 log, or a damaged one; either way nothing is guessed.
        fail(Status::Undecodable,
             QStringLiteral(QT_TRANSLATE_NOOP("FileError", "an odd number of bytes is no UTF-16")));
        return false;
    }
    return true;
}

QString LogReader::head()
{
    QByteArray bytes(HeadBytes, Qt::Uninitialized);
    ssize_t got;
    do {
        got = ::pread(m_file.handle(), bytes.data(), size_t(HeadBytes),
                      m_format.detection.bomBytes);
    } while (got < 0 && errno == EINTR);
    QString text;
    if (got > 0)
        textcodec::Decoder(m_format.detection.encoding)
            .decode(QByteArrayView(bytes.constData(), got), text, true);
    return text;
}

FormatId LogReader::formatByHead()
{
    // Read apart from the reading position, so that a log of one huge line is not read whole.
    return formats::byHead(head());
}

void LogReader::lookAtForeignKind()
{
    // In the classic text log the header text is the one thing to adjust.
    if (m_format.xml || !m_format.known || !m_file.isOpen() || m_format.classicLog())
        return;
    if (m_format.lineExport) {
        m_format.foreign = ForeignKind::WithoutMessages;
        m_format.foreignFormat = FormatId::LineExport;
    } else {
        m_format.foreign = ::foreignKind(head(), &m_format.foreignFormat);
    }
}

void LogReader::surveyLines(const std::function<void(QStringView)> &line)
{
    // Only the start of a line matters to a survey: a longer line is cut, so that a log of one
    // huge line costs no more than any other.
    constexpr qsizetype KeptChars = 4096;
    textcodec::Decoder decoder(m_format.detection.encoding);
    QByteArray buf(ChunkBytes, Qt::Uninitialized);
    QString text;
    QString carried; // the start of a line the last piece left open
    bool cut = false; // the open line is longer than what is kept of it
    bool crBefore = false; // the last piece ended in a CR: an LF starting this one is its pair
    qint64 offset = m_format.detection.bomBytes;
    for (bool last = false; !last;) {
        ssize_t got;
        do {
            got = ::pread(m_file.handle(), buf.data(), size_t(ChunkBytes), offset);
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            return;
        last = got == 0;
        offset += got;
        text.resize(0);
        decoder.decode(QByteArrayView(buf.constData(), qMax<ssize_t>(got, 0)), text, last);
        pieceDone();
        qsizetype from = 0;
        if (crBefore && !text.isEmpty() && text[0] == u'\n')
            from = 1;
        crBefore = false;
        for (qsizetype at = from; at < text.size(); ++at) {
            const QChar c = text[at];
            if (c != u'\n' && c != u'\r')
                continue;
            const QStringView part = QStringView(text).sliced(from, at - from);
            if (carried.isEmpty() && !cut) {
                line(part.first(qMin(part.size(), KeptChars)));
            } else {
                if (!cut)
                    carried += part.first(qMin(part.size(), KeptChars - carried.size()));
                line(carried);
                carried.clear();
                cut = false;
            }
            if (c == u'\r') {
                if (at + 1 < text.size() && text[at + 1] == u'\n')
                    ++at;
                else if (at + 1 == text.size())
                    crBefore = true;
            }
            from = at + 1;
        }
        const QStringView open = QStringView(text).sliced(from);
        if (!cut && carried.size() + open.size() > KeptChars) {
            carried += open.first(KeptChars - carried.size());
            cut = true;
        } else if (!cut) {
            carried += open;
        }
    }
    if (!carried.isEmpty())
        line(carried);
}
