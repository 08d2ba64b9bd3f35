#include "previewbox.h"

#include "codec/textcodec.h"
#include "settings/settings.h"
#include "ui/uiutil.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

namespace {

QStringList localFiles(const QMimeData *mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.append(url.toLocalFile());
    }
    return paths;
}

QTextCharFormat charFormat(const QString &code, bool bold)
{
    QTextCharFormat format;
    format.setForeground(ui::colorFromCode(code));
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return format;
}

// Formats the characters [from, to) of the box's document.
void formatRange(QTextDocument *doc, int from, int to, const QTextCharFormat &format)
{
    QTextCursor cursor(doc);
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.setCharFormat(format);
}

// Palette entry k (1-based); a palette shorter than the sample falls back to the defaults.
QString speakerColor(const Palette &palette, int k)
{
    return k <= palette.size() ? palette[k - 1].code : colorcode::defaultColorCode(k);
}

} // namespace

PreviewBox::PreviewBox(QWidget *parent)
    : QTextEdit(parent)
{
    setObjectName(QStringLiteral("rTxt"));
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
    setToolTip(QStringLiteral("ここにファイルをドラグアンドドロップしてもいいわよ♪"));
    setReadOnly(true);
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    // A plain rich-text box has no scroll bars; the sample always fits.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabStopDistance(48); // half an inch, as rich-text boxes indent
    // A read-only box refuses drops by itself; this one takes files.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

QString PreviewBox::buildSampleText(const QString &headerText)
{
    const QStringList lines = {
        QStringLiteral("ぽぷる ") + headerText,
        QStringLiteral("\tこのソフトって使い方簡単だよー"),
        QStringLiteral("ぴのこ ") + headerText,
        QStringLiteral("\tこの窓に直接ファイルを持ってきてもおげー"),
        QStringLiteral("みるて ") + headerText,
        QStringLiteral("\t(　・∀・)つ〃∩ ヘェーヘェーヘェー♪"),
    };
    return lines.join(textcodec::CrLf);
}

void PreviewBox::drawSample(const QString &sampleText, const Settings &settings,
                            const Palette &palette)
{
    setUpdatesEnabled(false);
    clear();
    setPlainText(QString(sampleText).replace(textcodec::CrLf.toString(), QStringLiteral("\n")));
    QTextDocument *doc = document();
    const int end = doc->characterCount() - 1;
    formatRange(doc, 0, end, charFormat(QStringLiteral("#000000"), false));
    // The substitute face has a tall line gap; keep the six lines inside the box.
    QTextCursor all(doc);
    all.select(QTextCursor::Document);
    QTextBlockFormat lines;
    lines.setLineHeight(qMax(1, QFontMetrics(font()).height() * 5 / 6),
                        QTextBlockFormat::FixedHeight);
    all.setBlockFormat(lines);

    if (settings.changeType != 0) {
        for (int k = 1; k <= 3; ++k) {
            const QTextBlock nameLine = doc->findBlockByNumber(2 * k - 2);
            const QTextBlock utterance = doc->findBlockByNumber(2 * k - 1);
            if (!nameLine.isValid() || !utterance.isValid())
                break;
            const QString code = speakerColor(palette, k);
            const QString nameCode = settings.colorNameToo != 0 ? code : settings.bodyColor;
            formatRange(doc, nameLine.position(), nameLine.position() + nameLine.length() - 1,
                        charFormat(nameCode, false));
            const int textStart
                = utterance.position() + (utterance.text().startsWith(u'\t') ? 1 : 0);
            formatRange(doc, textStart, utterance.position() + utterance.length() - 1,
                        charFormat(code, settings.boldMessages != 0));
        }
    }

    QTextCursor start(doc);
    start.movePosition(QTextCursor::Start);
    setTextCursor(start);
    setUpdatesEnabled(true);
}

void PreviewBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void PreviewBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void PreviewBox::dropEvent(QDropEvent *event)
{
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}
