#include "runreport.h"

#include <QFileInfo>
#include <QRegularExpression>

void RunReport::begin(const QList<qint64> &sizes)
{
    *this = RunReport();
    // An empty log still counts for something, so the bar moves for each log.
    for (const qint64 size : sizes)
        m_starts.append(m_starts.last() + qMax<qint64>(size, 1));
}

void RunReport::logStarting(int index)
{
    m_index = index;
    m_logSteps = 0;
}

int RunReport::progress(int steps)
{
    const qint64 total = m_starts.last();
    if (total <= 0)
        return 0;
    const bool known = m_index >= 0 && m_index < logCount();
    const qint64 before = m_starts.at(qBound(0, m_index, int(logCount())));
    const qint64 size = known ? m_starts.at(m_index + 1) - before : 0;
    const double part = m_logSteps > 0 ? qBound(0.0, double(steps) / m_logSteps, 1.0) : 0.0;
    const int at = int(Scale * (double(before) + part * double(size)) / double(total));
    m_shown = qMax(m_shown, at);
    return m_shown;
}

void RunReport::failed(const QString &log, const QString &reason)
{
    if (!m_failure.isEmpty())
        return;
    // The message's first line says it; the name says which log.
    QString said = reason.section(QRegularExpression(QStringLiteral("[\r\n]+")), 0, 0);
    m_failure = QFileInfo(log).fileName() + QStringLiteral("：") + said;
}

void RunReport::written(const QString &outputPath)
{
    if (m_written++ == 0)
        m_outputFolder = QFileInfo(outputPath).absolutePath();
}

void RunReport::writtenInUtf8(const QString &outputPath)
{
    if (m_inUtf8++ == 0)
        m_firstInUtf8 = QFileInfo(outputPath).fileName();
}

QString RunReport::utf8Note() const
{
    if (m_inUtf8 == 0)
        return QString();
    if (m_inUtf8 == 1)
        return m_firstInUtf8 + QStringLiteral(" はシフトJISにない文字があるのでUTF-8で書きました");
    return QStringLiteral("%1 件はシフトJISにない文字があるのでUTF-8で書きました").arg(m_inUtf8);
}

QString RunReport::summary() const
{
    QString text = QStringLiteral("%1 件中 %2 件を書き出しました").arg(logCount()).arg(m_written);
    if (m_inUtf8 > 0)
        text += QStringLiteral("（うち %1 件はUTF-8）").arg(m_inUtf8);
    if (!m_failure.isEmpty())
        text += QStringLiteral("　最初の失敗：") + m_failure;
    return text;
}
