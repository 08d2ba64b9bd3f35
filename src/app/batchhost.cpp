#include "batchhost.h"

#include "engine/runtext.h"
#include "engine/speakerhandover.h"
#include "fileio/filename.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

constexpr qint64 RedrawMs = 100; // at most ten redraws a second
constexpr qsizetype NameWidth = 40;

} // namespace

BatchHost::BatchHost(QTextStream &err, bool showProgress, const Palette &palette)
    : m_err(err)
    , m_showProgress(showProgress)
    , m_palette(palette)
{
}

void BatchHost::startLog(int number, int count, const QString &path)
{
    m_number = number;
    m_count = count;
    const QString name = shown(path);
    m_name = fileio::printable(name.sliced(name.lastIndexOf(u'/') + 1));
    if (m_name.size() > NameWidth)
        m_name = m_name.left(NameWidth - 1) + u'…';
    m_maximum = m_value = 0;
    drawProgress(false);
}

void BatchHost::finish()
{
    clearProgress();
    m_err.flush();
}

void BatchHost::progressInit(int maximum)
{
    m_maximum = maximum;
    m_value = 0;
    drawProgress(false);
}

void BatchHost::setProgressValue(int value)
{
    m_value = value;
    drawProgress(false);
}

QString BatchHost::reasonText(const QString &reason)
{
    // The file layer's own words, or failing that the file errors Qt names; any other text is
    // the C library's, which speaks the user's language where that locale is installed.
    const QByteArray source = reason.toUtf8();
    const QString text = QCoreApplication::translate("FileError", source.constData());
    return text != reason ? text : QCoreApplication::translate("QIODevice", source.constData());
}

QString BatchHost::messageText(const QString &prompt) const
{
    // The window's texts, line by line in the user's language; a line that is no message of
    // its own (a file name) stays as it is. A Japanese full stop needs no space after it.
    QString text;
    for (const QString &line : prompt.split(textcodec::CrLf.toString())) {
        if (!text.isEmpty() && !text.endsWith(u'。'))
            text += u' ';
        text += QCoreApplication::translate("RunMessage", line.toUtf8().constData());
    }
    return text;
}

void BatchHost::showMessage(Icon, const QString &prompt, const QString &, const QString &context)
{
    printLine(context, messageText(prompt));
}

QString BatchHost::formatText(const LogFormat &format)
{
    // An XML history needs no explanation, nor an empty file, which was read as nothing.
    if (!format.known || format.xml() || format.foreign == ForeignKind::Empty)
        return QString();
    const textcodec::Detection &d = format.detection;
    QString encoding = textcodec::encodingName(d.encoding);
    if (d.bomBytes > 0)
        encoding = tr("%1 with BOM").arg(encoding);
    const QString lineEnd = d.hasLineEnd ? textcodec::lineEndName(d.lineEnd) : tr("none");
    const char *readAs = format.merged ? nullptr : formats::format(format.format).readAsText();
    if (!readAs)
        return tr("(%1, line ends %2)").arg(encoding, lineEnd);
    return tr("(%1, %2, line ends %3)")
        .arg(QCoreApplication::translate("RunMessage", readAs), encoding, lineEnd);
}

void BatchHost::textInUtf8(const QString &logPath, const QString &)
{
    printLine(logPath,
              tr("written in UTF-8 with a byte order mark: Shift-JIS lacks some of its "
                 "characters."));
}

void BatchHost::logNotRead(const QString &path, const QString &reason)
{
    printLine(path, tr("could not be read (%1).").arg(reasonText(reason)));
}

void BatchHost::outputNotWritten(const QString &logPath, const QString &outputPath,
                                 const QString &reason)
{
    printLine(logPath,
              QCoreApplication::translate("RunMessage", runtext::SaveFailed.toUtf8().constData())
                  + u' ' + shown(outputPath) + u' ' + tr("(%1)").arg(reasonText(reason)));
}

void BatchHost::noSpeakers(const QString &logPath, bool readFailed, const LogFormat &format)
{
    // One reason per log: a log that could not be read has had its line already.
    if (readFailed)
        return;
    const QString found = runtext::foreignKindText(format);
    const QString text = messageText(found.isEmpty() ? runtext::NoSpeakers : found);
    const QString read = formatText(format);
    printLine(logPath, read.isEmpty() ? text : text + u' ' + read);
}

QString BatchHost::summaryText(int written, int count)
{
    return tr("%1 of %n log(s) written", nullptr, count).arg(written);
}

void BatchHost::runSpeakerColorDialog(SpeakerHandover &handover)
{
    // OK on the initial assignment: every speaker gets its palette entry's colour.
    for (qsizetype k = 0; k < handover.table.size(); ++k) {
        const int n = handover.table[k].paletteNumber(m_palette.size());
        if (n > 0 && k < handover.speakerColors.size())
            handover.speakerColors[k] = m_palette[n - 1].code;
    }
    handover.colorDialogCloses = 2;
}

void BatchHost::printLine(const QString &context, const QString &text)
{
    clearProgress();
    if (!context.isEmpty())
        m_err << fileio::printable(shown(context)) << ": ";
    m_err << fileio::printable(text) << '\n';
    m_err.flush();
    m_sinceDraw.invalidate(); // the progress line comes back at once
}

void BatchHost::drawProgress(bool force)
{
    if (!m_showProgress || m_number == 0)
        return;
    if (!force && m_sinceDraw.isValid() && m_sinceDraw.elapsed() < RedrawMs)
        return;
    m_sinceDraw.start();
    const int percent = m_maximum > 0 ? int(qint64(m_value) * 100 / m_maximum) : 0;
    m_err << "\r\x1b[K" << m_number << '/' << m_count << ' ' << m_name << ' ' << percent << '%';
    m_err.flush();
    m_lineShown = true;
}

void BatchHost::clearProgress()
{
    if (!m_lineShown)
        return;
    m_err << "\r\x1b[K";
    m_lineShown = false;
}
