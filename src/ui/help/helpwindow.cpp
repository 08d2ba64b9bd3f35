#include "helpwindow.h"

#include "codec/textcodec.h"
#include "homepage.h"
#include "ui/uiutil.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QColor LinkBlue(0, 0, 255);
const QColor PlainBlack(0, 0, 0);

template<std::size_t N> QString joinLines(const char16_t *const (&lines)[N])
{
    QStringList text;
    for (const char16_t *line : lines)
        text.append(QString::fromUtf16(line));
    return text.join(textcodec::CrLf);
}

} // namespace

QString HelpWindow::helpText()
{
    static const char16_t *const lines[] = {
        u"■◆◇□簡単な使い方の説明です□◇◆■",
        u"",
        u"[手順]",
        u"１．変換するタイプを選ぶ。（別にファイル選択後でもいいけど）",
        u"２．メッセのログファイルを選択する。（複数可）",
        u"３．実行する。",
        u"４．(ＨＴＭＬタイプの場合) 個別に色を設定する。",
        u"５．同じフォルダに新しくファイルが出来上がってますがな。",
        u"",
        u"[好きなように設定]",
        u"●設定ボタンを押せば設定をカスタマイズできます。",
        u"●以下の変更可。見れば分かると思いますので説明は省略します。",
        u"　（注：手抜きじゃないです）",
        u"",
        u"　○発言のヘッダ（MSN/Windows Messenger or 偽メッセンジャー)",
        u"　○変換したあとのファイル名の先頭につける文字",
        u"　○各種文字色の設定 (カラーチャート追加)",
        u"　○発言文字色に名称を設定 (Ver1.23追加)",
        u"　○発言を太字にするかどうか",
        u"　○発言者の名前にも色をつけるかどうか",
        u"　○処理を高速にするかどうか",
        u"●簡易メッセージルール機能",
        u"　○個別に色を設定する時の初期値を名前毎に決められます。",
        u"",
        u"[便利な使い方]",
        u"●画面の白い窓にログファイルをドラグアンドドロップしただけで",
        u"　ファイルを選択したことになります。",
        u"●アイコンにログファイルをドラグアンドドロップしただけで",
        u"　最後に終了した設定のまんま変換が出来ます。",
        u"●ＨＴＭＬファイルはスタイルシートなのでメモ帳なんかで簡単に",
        u"　背景とか文字の色を変更できます。",
        u"",
        u"２００３/０７/１２      Ｂｙ ぽぷる(´-ω-`)",
    };
    return joinLines(lines);
}

QString HelpWindow::newsText()
{
    static const char16_t *const lines[] = {
        u"■◆◇□新しくなったところ□◇◆■",
        u"",
        u"[読めるログ]",
        u"●テキストのログは Shift-JIS、UTF-8、UTF-16 のどれでも、",
        u"　改行も何でも読めます。ログごとに判定しますが、",
        u"　「設定」→「文字コード」で決めることもできます。",
        u"●LINE のトーク履歴も読めます。iPhone、Android、",
        u"　PC 版のどれで保存したものでも、表示言語が何でも。",
        u"●MSN/Windows Messenger の XML の履歴も今までどおり。",
        u"　Shift-JIS にない文字があれば、テキストは UTF-8 で。",
        u"",
        u"[ページの形]",
        u"●「設定」→「ページの形」で選べます。",
        u"　○クラシック：今までどおりのページ",
        u"　○モダン：今のブラウザとスマートフォン向け。",
        u"　　明暗のテーマ、発言者の絞り込み、終わりに統計の図。",
        u"　　「カレンダー」で日を選ぶと、その日へ飛びます。",
        u"　　検索は一致に印を付け、Enter で次の一致へ移ります。",
        u"●「設定」→「一覧ページも作る」に印を付けると、ページを",
        u"　書き出したフォルダに一覧ページ（_index.htm）もできます。",
        u"　新しい順に並び、すべてのページの発言を検索できます。",
        u"　「タイムライン」の月を選ぶと、その月のチャットへ。",
        u"　モダンのページからは一覧と前後のページへ移れます。",
        u"",
        u"[人に見せるとき]",
        u"●「設定」→「人名や電話番号を伏せ字にする」に印を",
        u"　付けると、発言者は 人物A、人物B… になり、電話番号、",
        u"　メールアドレス、郵便番号、住所、URL のクエリは",
        u"　伏せ字になります。ページ、テキスト、検索のデータ、",
        u"　ファイル名のどこでも。ページの先頭にそう書きます。",
        u"●モダンのページは終わりに出典を記します。元のファイルの",
        u"　名前、大きさ、SHA-256、変換した日時など。発言のリンクに",
        u"　元のファイルの行か記録の ID が出ます。クラシックの",
        u"　ページとテキストは「設定」→「クラシックのページと",
        u"　テキストにも出典を記す」に印を付けたときだけ。",
        u"",
        u"[たくさんのログ]",
        u"●フォルダをドロップすると、中のログが加わります。",
        u"●同じチャットを何度か書き出したログは、選んで",
        u"　「設定」→「選んだログを一つのチャットにまとめる」",
        u"　で一つに。同じ発言は一度だけ、時刻の順に並びます。",
        u"●色の画面の「残りのログもこの色で変換」を押すと、",
        u"　残りのログは聞かずに同じ色で変換します。",
        u"●終わるとステータスバーに書き出した数が出て、",
        u"　「出力フォルダを開く」でフォルダを開けます。",
        u"",
        u"[ウィンドウなしで変換]",
        u"●たくさんのログやフォルダをまとめて変換できます。",
        u"　　pelorin --batch --html -r フォルダ",
        u"　人に見せるものは --redact を付けると伏せ字に。",
        u"　ファイルが元のままかは pelorin --verify ページ で。",
        u"　オプションは pelorin --help か man pelorin で。",
    };
    return joinLines(lines);
}

HelpWindow::HelpWindow(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelp"));
    setModal(true);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    m_text->setFont(QFont(QStringLiteral("ＭＳ ゴシック"), 9));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);

    m_mail = new QLabel(homePageLabel(), this);
    m_mail->setObjectName(QStringLiteral("lblMail"));
    m_mail->setCursor(Qt::PointingHandCursor);
    m_mail->setToolTip(homePageUrl().toLocalFile());

    m_close = new QPushButton(QStringLiteral("閉じてみる"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setToolTip(QStringLiteral("閉じてみようか"));
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_mail);
    bottom->addStretch(1);
    bottom->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(bottom);

    // The link reacts to the pointer moving over it, the window background and the guide.
    for (QWidget *w :
         {static_cast<QWidget *>(this), static_cast<QWidget *>(m_mail), m_text->viewport()}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    setLinkLook(false);

    ui::setTopmost(this, true);
    ui::pressButtonsOnReturn(this);
    // The box takes each CR LF as one line break.
    m_text->setPlainText(helpText() + QStringLiteral("\r\n\r\n") + newsText());
    setWindowTitle(QStringLiteral("簡単な説明 Ver") + versionShortForm());
    setFixedSize(480, 460);
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        setLinkLook(watched == m_mail);
        // The label ignores the move, which would pass it on to the window background.
        if (watched == m_mail)
            return true;
    } else if (watched == m_mail && event->type() == QEvent::MouseButtonRelease
               && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        openHomePage();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void HelpWindow::setLinkLook(bool hovered)
{
    const QColor wanted = hovered ? LinkBlue : PlainBlack;
    QPalette pal = m_mail->palette();
    if (pal.color(QPalette::WindowText) == wanted && m_mail->font().underline() == hovered)
        return;
    pal.setColor(QPalette::WindowText, wanted);
    m_mail->setPalette(pal);
    QFont font = m_mail->font();
    font.setUnderline(hovered);
    m_mail->setFont(font);
}

void showHelpWindow(QWidget *parent)
{
    HelpWindow window(parent);
    window.exec();
}
