#include "engine/read/formats/textlog/textlog.h"

#include "engine/read/shared/textlines.h"

namespace {

// The file's lines as they are, split at its line end.
class TextLogReader : public FormatReader
{
public:
    explicit TextLogReader(const ReadSource &source)
        : m_lines(source.file, source.detection, source.pieceDone)
    {
    }

    bool restart() override { return m_lines.restart(); }
    bool next(QString &line, LineInfo &info) override
    {
        const bool got = m_lines.next(line);
        info.sourceLine = m_lines.consumed();
        return got;
    }
    qsizetype lineCount() override { return m_lines.count(); }
    qsizetype linesConsumed() const override { return m_lines.consumed(); }
    bool failed() const override { return m_lines.failed(); }
    QString errorString() const override { return m_lines.errorString(); }

private:
    TextLines m_lines;
};

} // namespace

QStringList TextLogFormat::extensions() const
{
    return {QStringLiteral("TXT"), QStringLiteral("txt")};
}

QString TextLogFormat::dialogName() const
{
    return QStringLiteral("めせのログ");
}

std::unique_ptr<FormatReader> TextLogFormat::reader(const ReadSource &source) const
{
    return std::make_unique<TextLogReader>(source);
}
