#include "ui/help/helpwindow.h"
#include "ui/help/homepage.h"
#include "ui/help/versionwindow.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

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
    static bool looksLikeLink(const QLabel *l)
    {
        const QColor c = l->palette().color(QPalette::WindowText);
        if (c == QColor(0, 0, 255) && l->font().underline())
            return true;
        if (c == QColor(0, 0, 0) && !l->font().underline())
            return false;
        qWarning() << "half a link look" << c << l->font().underline();
        return false;
    }

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_browser, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void init() { m_browser.opened.clear(); }

    void helpTextLineByLine()
    {
        const QStringList lines = HelpWindow::helpText().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 33);
        QCOMPARE(lines.first(), QStringLiteral("■◆◇□簡単な使い方の説明です□◇◆■"));
        QCOMPARE(lines[12], QStringLiteral("　（注：手抜きじゃないです）"));
        QCOMPARE(lines[14],
                 QStringLiteral("　○発言のヘッダ（MSN/Windows Messenger or 偽メッセンジャー)"));
        QCOMPARE(lines.last(), QStringLiteral("２００３/０７/１２      Ｂｙ ぽぷる(´-ω-`)"));
        for (int empty : {1, 8, 13, 23, 31})
            QVERIFY2(lines[empty].isEmpty(), qPrintable(QString::number(empty + 1)));
        QVERIFY(!HelpWindow::helpText().endsWith(u'\n'));
    }

    void helpWindowOpensAfreshEachTime()
    {
        for (int opening = 0; opening < 2; ++opening) {
            HelpWindow window;
            QCOMPARE(window.objectName(), QStringLiteral("frmHelp"));
            QCOMPARE(window.windowTitle(), QStringLiteral("簡単な説明 Ver2.00"));
            QVERIFY(window.isModal());
            QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
            auto *text = window.findChild<QPlainTextEdit *>("Text1");
            QCOMPARE(text->document()->blockCount(), 33);
            QCOMPARE(text->toPlainText(),
                     HelpWindow::helpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            auto *close = window.findChild<QPushButton *>("cmdClose");
            QCOMPARE(close->text(), QStringLiteral("閉じてみる"));
            QCOMPARE(close->toolTip(), QStringLiteral("閉じてみようか"));
        }
    }

    void linkFollowsThePointer()
    {
        HelpWindow window;
        window.show();
        auto *link = window.findChild<QLabel *>("lblMail");
        auto *text = window.findChild<QPlainTextEdit *>("Text1");
        QVERIFY(!looksLikeLink(link));
        for (int round = 0; round < 2; ++round) {
            moveOver(link);
            QVERIFY(looksLikeLink(link));
            moveOver(link);
            QVERIFY(looksLikeLink(link));
            moveOver(text->viewport());
            QVERIFY(!looksLikeLink(link));
            moveOver(link);
            moveOver(&window);
            QVERIFY(!looksLikeLink(link));
        }
    }

    void linkAndCheckButtonOpenTheHomePage()
    {
        HelpWindow help;
        help.show();
        QTest::mouseClick(help.findChild<QLabel *>("lblMail"), Qt::LeftButton);
        VersionWindow version;
        version.findChild<QPushButton *>("Command1")->click();
        QCOMPARE(m_browser.opened.size(), 2);
        for (const QUrl &url : m_browser.opened) {
            QCOMPARE(url, homePageUrl());
            QVERIFY(url.isLocalFile());
            QCOMPARE(url.fileName(), QStringLiteral("README.md"));
        }
    }

    void versionWindow()
    {
        VersionWindow window;
        QCOMPARE(window.objectName(), QStringLiteral("frmVer"));
        QCOMPARE(window.windowTitle(), QStringLiteral("バージョン情報"));
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(window.findChild<QLabel *>("Label1")->text(), QStringLiteral("Pelorin"));
        QCOMPARE(window.findChild<QLabel *>("lblVer")->text(), QStringLiteral("Ｖｅｒ ２．００b"));
        auto *check = window.findChild<QPushButton *>("Command1");
        QCOMPARE(check->text(), QStringLiteral("最新版があるかどうかチェックしてみる"));
        QCOMPARE(check->toolTip(),
                 QStringLiteral("ホームページのトップにブラウザでジャンプします"));
    }

    void fullWidthForms()
    {
        QCOMPARE(toFullWidth(QStringLiteral("2.00")), QStringLiteral("２．００"));
        QCOMPARE(toFullWidth(QStringLiteral("A~ あ")), QStringLiteral("Ａ～ あ"));
        QCOMPARE(versionShortForm(), QStringLiteral("2.00"));
    }
};

QTEST_MAIN(TestHelpWindows)
#include "tst_helpwindows.moc"
