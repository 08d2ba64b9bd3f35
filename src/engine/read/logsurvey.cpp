// Telling what a log is before it is read: its encoding and line ends, whether it is an XML
// history or a LINE export, and what a file that holds no speakers is instead.
#include "engine/read/formats/formats.h"
#include "engine/read/logkind.h"
#include "engine/read/logreader.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

QString decoded(QByteArrayView bytes, textcodec::Encoding encoding)
{
    QString text;
    textcodec::Decoder(encoding).decode(bytes, text, true);
    return text;
}

} // namespace

bool LogReader::detect(textcodec::Choice choice, bool headOnly)
{
    textcodec::Detector detector(choice);
    QByteArray piece(ChunkBytes, Qt::Uninitialized);
    for (qint64 fed = 0; !headOnly || fed < HeadBytes;) {
        const qint64 got = m_file.read(piece.data(), ChunkBytes);
        if (got < 0) {
            fail(Status::ReadError, m_file.errorString());
            return false;
        }
        if (got == 0)
            break;
        detector.feed(QByteArrayView(piece.constData(), got));
        fed += got;
        pieceDone();
    }
    m_format.detection = detector.result();
    if (m_format.detection.looksLikeUtf16) {
        // UTF-16 without a mark: its line ends are counted again, unit by unit.
        if (!m_file.seek(0)) {
            fail(Status::ReadError, m_file.errorString());
            return false;
        }
        return detect(textcodec::Choice::Utf16, headOnly);
    }
    if (choice == textcodec::Choice::Auto
        && m_format.detection.encoding == textcodec::Encoding::ShiftJis) {
        // LINE writes its exports in UTF-8 only: one with no character beyond ASCII, or with
        // damaged bytes, is UTF-8 still (damaged bytes are kept as they are).
        char head[7];
        if (m_file.seek(0) && m_file.read(head, sizeof head) == qint64(sizeof head)
            && QByteArrayView(head, sizeof head) == "[LINE] ")
            m_format.detection.encoding = textcodec::Encoding::Utf8;
        else if (const auto encoding = kakaoTalkEncoding())
            m_format.detection.encoding = *encoding;
    }
    if (textcodec::isUtf16(m_format.detection.encoding) && m_file.size() % 2 != 0) {
        // A unit cut in half: no UTF-16 log, or a damaged one; either way nothing is guessed.
        fail(Status::Undecodable,
             QStringLiteral(QT_TRANSLATE_NOOP("FileError", "an odd number of bytes is no UTF-16")));
        return false;
    }
    return true;
}

QByteArray LogReader::headBytes()
{
    QByteArray bytes(HeadBytes, Qt::Uninitialized);
    ssize_t got;
    do {
        got = ::pread(m_file.handle(), bytes.data(), size_t(HeadBytes),
                      m_format.detection.bomBytes);
    } while (got < 0 && errno == EINTR);
    bytes.resize(qMax<ssize_t>(got, 0));
    return bytes;
}

QString LogReader::head()
{
    return decoded(headBytes(), m_format.detection.encoding);
}

std::optional<textcodec::Encoding> LogReader::kakaoTalkEncoding()
{
    // A KakaoTalk export that is not UTF-8 throughout (it has bytes beyond ASCII) is one damaged
    // in places, read as UTF-8 still (its damaged bytes are kept as they are), or one Korean
    // Windows wrote in code page 949. A Shift-JIS log reads as neither: its pairs make no Korean
    // words in them.
    const QByteArray bytes = headBytes();
    if (std::none_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; }))
        return std::nullopt;
    for (const auto encoding : {textcodec::Encoding::Utf8, textcodec::Encoding::Cp949}) {
        if (formats::byHead(decoded(bytes, encoding)) == FormatId::KakaoTalk)
            return encoding;
    }
    return std::nullopt;
}

FormatId LogReader::formatByHead()
{
    // Read apart from the reading position, so that a log of one huge line is not read whole.
    return formats::byHead(head());
}

void LogReader::lookAtForeignKind()
{
    // In the classic text log the header text is the one thing to adjust.
    if (m_format.xml() || !m_format.known || !m_file.isOpen() || m_format.classicLog())
        return;
    if (m_format.lineExport() || m_format.chatExport()) {
        m_format.foreign = ForeignKind::WithoutMessages; // in the format it was read in
    } else {
        m_format.foreign = ::foreignKind(head(), &m_format.foreignFormat);
    }
}
