#include "settings/settingslocation.h"
#include "support/controls.h"
#include "ui/help/helpwindow.h"
#include "ui/help/homepage.h"
#include "ui/help/versionwindow.h"
#include "ui/uiutil.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <QUrl>
#include <memory>

// Stands in for the browser: records what the windows ask to open.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class TestHelpWindows : public QObject
{
    Q_OBJECT

    UrlRecorder m_browser;

    static void moveOver(QWidget *w)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &move);
    }
    // The link's colour, and "_" when it is underlined.
    static QString look(const QLabel *l)
    {
        return l->palette().color(QPalette::WindowText).name() + (l->font().underline() ? "_" : "");
    }

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_browser, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void init() { m_browser.opened.clear(); }

    // The guide as it was, then after an empty line what is new, naming every addition.
    void helpWindowOpensAfreshEachTime()
    {
        for (int opening = 0; opening < 2; ++opening) {
            HelpWindow window;
            QCOMPARE(window.windowTitle(), QStringLiteral("簡単な説明 Ver2.00"));
            QVERIFY(window.isModal());
            QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
            const QStringList lines = control<QPlainTextEdit>(&window, QStringLiteral("Text1"))
                                          ->toPlainText()
                                          .split(u'\n');
            QCOMPARE(lines.size(), 33 + 1 + 52);
            QCOMPARE(lines.first(), QStringLiteral("■◆◇□簡単な使い方の説明です□◇◆■"));
            QCOMPARE(lines[12], QStringLiteral("　（注：手抜きじゃないです）"));
            QCOMPARE(lines[32], QStringLiteral("２００３/０７/１２      Ｂｙ ぽぷる(´-ω-`)"));
            for (int empty : {1, 8, 13, 23, 31, 33, 35})
                QVERIFY2(lines[empty].isEmpty(), qPrintable(QString::number(empty + 1)));
            QCOMPARE(lines[34], QStringLiteral("■◆◇□新しくなったところ□◇◆■"));
            const QString news = lines.mid(34).join(u'\n');
            for (const char *topic :
                 {"UTF-8", "LINE", "文字コード", "ページの形", "モダン", "一覧ページ",
                  "前後のページ", "次の一致", "残りのログもこの色で変換", "pelorin --batch",
                  "人名や電話番号を伏せ字にする", "--redact", "カレンダー", "タイムライン",
                  "一つのチャットにまとめる", "出典を記す", "--verify"})
                QVERIFY2(news.contains(QString::fromUtf8(topic)), topic);
        }
        QCOMPARE(HelpWindow::helpText().count(QStringLiteral("\r\n")), 32);
    }

    void linkFollowsThePointer()
    {
        HelpWindow window;
        window.show();
        auto *link = control<QLabel>(&window, QStringLiteral("lblMail"));
        QWidget *text = control<QPlainTextEdit>(&window, QStringLiteral("Text1"))->viewport();
        const QString plain = QStringLiteral("#000000"), hovered = QStringLiteral("#0000ff_");
        QCOMPARE(look(link), plain);
        for (QWidget *away : {text, static_cast<QWidget *>(&window)}) {
            moveOver(link);
            moveOver(link);
            QCOMPARE(look(link), hovered);
            moveOver(away);
            moveOver(away);
            QCOMPARE(look(link), plain);
        }
    }

    // The check for a newer version opens the releases page; the project has none, and then
    // the window offers no check.
    void versionWindowAndTheHomePage()
    {
        const QUrl releases = QUrl::fromLocalFile(QStringLiteral("/releases.html"));
        VersionWindow version(releases);
        QCOMPARE(version.windowTitle(), QStringLiteral("バージョン情報"));
        QVERIFY(version.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(control<QLabel>(&version, QStringLiteral("lblVer"))->text(),
                 QStringLiteral("Ｖｅｒ ２．００b"));
        control<QPushButton>(&version, QStringLiteral("Command1"))->click();
        QVERIFY(!VersionWindow(QUrl()).findChild<QPushButton *>(QStringLiteral("Command1")));
        HelpWindow help;
        help.show();
        QTest::mouseClick(control<QLabel>(&help, QStringLiteral("lblMail")), Qt::LeftButton);
        QCOMPARE(m_browser.opened, (QList<QUrl> {releases, homePageUrl()}));
        // The documentation page installed beside the program, named in Japanese.
        QVERIFY(homePageUrl().toLocalFile().endsWith(u"/share/doc/pelorin/README.html"));
        QCOMPARE(control<QLabel>(&help, QStringLiteral("lblMail"))->text(),
                 QStringLiteral("Pelorin の説明書（ブラウザで開きます）"));
    }

    void qtOwnTextsInJapanese()
    {
        QTranslator qtJapanese;
        QVERIFY(loadQtJapanese(qtJapanese));
        QCoreApplication::installTranslator(&qtJapanese);
        HelpWindow window;
        std::unique_ptr<QMenu> menu(
            control<QPlainTextEdit>(&window, QStringLiteral("Text1"))->createStandardContextMenu());
        QCOMPARE(menu->actions().last()->text().section(u'\t', 0, 0),
                 QStringLiteral("すべてを選択"));
    }
};

QTEST_MAIN(TestHelpWindows)
#include "tst_helpwindows.moc"
