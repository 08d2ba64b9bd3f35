#include "app/commandline.h"
#include "app/language.h"

#include <QProcessEnvironment>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parsing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("batch");
        QTest::addColumn<int>("changeType"); // -1: not given
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QStringList>("logs");
        QTest::addColumn<bool>("usageError");

        QTest::newRow("window, no logs")
            << QStringList {} << false << -1 << "" << QStringList {} << false;
        QTest::newRow("window start with logs") << QStringList {"a.txt", "b b.txt"} << false << -1
                                                << "" << QStringList {"a.txt", "b b.txt"} << false;
        QTest::newRow("batch text") << QStringList {"--batch", "--text", "a.txt"} << true << 0 << ""
                                    << QStringList {"a.txt"} << false;
        QTest::newRow("batch html, settings")
            << QStringList {"--settings", "s.ini", "--batch", "--html", "a.txt"} << true << 1
            << "s.ini" << QStringList {"a.txt"} << false;
        QTest::newRow("settings=FILE") << QStringList {"--settings=x.ini", "a.txt"} << false << -1
                                       << "x.ini" << QStringList {"a.txt"} << false;
        QTest::newRow("double dash ends options")
            << QStringList {"--batch", "--", "--odd.txt"} << true << -1 << ""
            << QStringList {"--odd.txt"} << false;
        QTest::newRow("batch without log")
            << QStringList {"--batch", "--text"} << true << 0 << "" << QStringList {} << true;
        QTest::newRow("text and html") << QStringList {"--batch", "--text", "--html", "a.txt"}
                                       << true << -1 << "" << QStringList {"a.txt"} << true;
        QTest::newRow("unknown option") << QStringList {"--batch", "--fast", "a.txt"} << true << -1
                                        << "" << QStringList {"a.txt"} << true;
        QTest::newRow("settings without file") << QStringList {"a.txt", "--settings"} << false << -1
                                               << "" << QStringList {"a.txt"} << true;
        QTest::newRow("text without batch")
            << QStringList {"--text", "a.txt"} << false << 0 << "" << QStringList {"a.txt"} << true;
    }

    void parsing()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, batch);
        QFETCH(int, changeType);
        QFETCH(QString, settings);
        QFETCH(QStringList, logs);
        QFETCH(bool, usageError);
        const CommandLine cl = parseCommandLine(args);
        QCOMPARE(!cl.error.isEmpty(), usageError);
        QCOMPARE(cl.batch, batch);
        QCOMPARE(cl.changeType.value_or(-1), changeType);
        QCOMPARE(cl.settingsFile, settings);
        QCOMPARE(cl.logs, logs);
    }

    void encodingOption_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("choice"); // -1: a usage error
        using textcodec::Choice;
        QTest::newRow("utf-8") << QStringList {"--batch", "--encoding", "utf-8", "a.txt"}
                               << int(Choice::Utf8);
        QTest::newRow("=SJIS") << QStringList {"--batch", "--encoding=SJIS", "a.txt"}
                               << int(Choice::ShiftJis);
        QTest::newRow("unknown word")
            << QStringList {"--batch", "--encoding", "euc", "a.txt"} << -1;
        QTest::newRow("no word") << QStringList {"a.txt", "--batch", "--encoding"} << -1;
        QTest::newRow("without batch") << QStringList {"--encoding", "utf-16", "a.txt"} << -1;
    }

    void encodingOption()
    {
        QFETCH(QStringList, args);
        QFETCH(int, choice);
        const CommandLine cl = parseCommandLine(args);
        QCOMPARE(cl.error.isEmpty(), choice >= 0);
        if (choice >= 0)
            QCOMPARE(int(cl.encoding.value()), choice);
    }

    void pageOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("index"); // -1: as the settings say
        QTest::addColumn<bool>("usageError");
        QTest::newRow("modern with index")
            << QStringList {"--batch", "--page", "modern", "--index", "a.txt"} << "modern" << 1
            << false;
        QTest::newRow("page=classic, no index")
            << QStringList {"--page=classic", "--batch", "--no-index", "a.txt"} << "classic" << 0
            << false;
        QTest::newRow("unknown style")
            << QStringList {"--batch", "--page", "dark", "a.txt"} << "" << -1 << true;
        QTest::newRow("style missing")
            << QStringList {"--batch", "a.txt", "--page"} << "" << -1 << true;
        QTest::newRow("no index without batch")
            << QStringList {"--no-index", "a.txt"} << "" << 0 << true;
        QTest::newRow("index and no index")
            << QStringList {"--batch", "--index", "--no-index", "a.txt"} << "" << -1 << true;
    }

    void pageOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, page);
        QFETCH(int, index);
        QFETCH(bool, usageError);
        const CommandLine cl = parseCommandLine(args);
        QCOMPARE(cl.pageStyle, page);
        QCOMPARE(cl.index ? int(*cl.index) : -1, index);
        QCOMPARE(!cl.error.isEmpty(), usageError);
    }

    // The options of archiving runs; `error` is the usage error's start, empty when none.
    void batchOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("outputDir");
        QTest::addColumn<bool>("recursive");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("standardInput");
        QTest::addColumn<QString>("error");

        QTest::newRow("short forms") << QStringList {"--batch", "-o", "out", "-r", "-q", "logs"}
                                     << "out" << true << true << false << "";
        QTest::newRow("long forms")
            << QStringList {"--batch", "--output-dir=o d", "--recursive", "--quiet", "a.txt"}
            << "o d" << true << true << false << "";
        QTest::newRow("standard input")
            << QStringList {"--batch", "--html", "-"} << "" << false << false << true << "";
        QTest::newRow("output folder without DIR")
            << QStringList {"--batch", "a.txt", "-o"} << "" << false << false << false
            << "--output-dir needs a DIR";
        QTest::newRow("recursive without --batch") << QStringList {"-r", "logs"} << "" << true
                                                   << false << false << "--recursive needs --batch";
        QTest::newRow("redact without --batch") << QStringList {"--redact", "logs"} << "" << false
                                                << false << false << "--redact needs --batch";
        QTest::newRow("merge without --batch")
            << QStringList {"--merge", "a.txt", "b.txt"} << "" << false << false << false
            << "--merge needs --batch";
        QTest::newRow("merge of standard input")
            << QStringList {"--batch", "--html", "--merge", "-"} << "" << false << false << true
            << "--merge does not go with standard input";
        QTest::newRow("standard input and a file")
            << QStringList {"--batch", "--text", "-", "a.txt"} << "" << false << false << false
            << "standard input (\"-\") must be the only LOG";
        QTest::newRow("standard input without an output kind")
            << QStringList {"--batch", "-"} << "" << false << false << true
            << "reading standard input (\"-\") needs --text or --html";
        QTest::newRow("standard input into a folder")
            << QStringList {"--batch", "--text", "-o", "out", "-"} << "out" << false << false
            << true << "--output-dir does not go with standard input";
    }

    void batchOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, outputDir);
        QFETCH(bool, recursive);
        QFETCH(bool, quiet);
        QFETCH(bool, standardInput);
        QFETCH(QString, error);
        const CommandLine cl = parseCommandLine(args);
        QCOMPARE(cl.outputDir, outputDir);
        QCOMPARE(cl.recursive, recursive);
        QCOMPARE(cl.quiet, quiet);
        QCOMPARE(cl.readsStandardInput(), standardInput);
        QVERIFY2(error.isEmpty() ? cl.error.isEmpty() : cl.error.startsWith(error),
                 qPrintable(cl.error));
    }

    void helpAndVersionNeedNothingElse()
    {
        QVERIFY(parseCommandLine({"--batch", "--help"}).error.isEmpty());
        QVERIFY(parseCommandLine({"--version"}).version);
        QVERIFY(versionText().startsWith(QStringLiteral("Pelorin 2.00\n")));
        const QString help = helpText();
        for (const char *word : {"--batch", "--text", "--html", "--settings", "--output-dir",
                                 "--recursive", "--quiet", "standard input", "--page", "--index",
                                 "--no-index", "--redact", "--merge", "--version", "Exit status"})
            QVERIFY2(help.contains(QLatin1String(word)), word);
    }

    // Each row sets the named variables (NAME=VALUE) in an otherwise empty environment.
    void environment_data()
    {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<bool>("display");

        QTest::newRow("nothing set") << QStringList {} << false << false;
        QTest::newRow("LANG") << QStringList {"LANG=ja_JP.UTF-8"} << true << false;
        QTest::newRow("LC_ALL before LANG")
            << QStringList {"LC_ALL=C", "LANG=ja_JP.UTF-8"} << false << false;
        QTest::newRow("LC_MESSAGES before LANG")
            << QStringList {"LC_MESSAGES=ja_JP.eucJP", "LANG=en_US.UTF-8"} << true << false;
        QTest::newRow("an empty LC_ALL is not set")
            << QStringList {"LC_ALL=", "LANG=ja"} << true << false;
        QTest::newRow("X display") << QStringList {"DISPLAY=:0"} << false << true;
        QTest::newRow("Wayland display")
            << QStringList {"WAYLAND_DISPLAY=wayland-0"} << false << true;
        QTest::newRow("offscreen platform")
            << QStringList {"QT_QPA_PLATFORM=offscreen"} << false << true;
        QTest::newRow("xcb platform, no display")
            << QStringList {"QT_QPA_PLATFORM=xcb"} << false << false;
        QTest::newRow("wayland platform with a fallback, no display")
            << QStringList {"QT_QPA_PLATFORM=wayland-egl;xcb"} << false << false;
    }

    void environment()
    {
        QFETCH(QStringList, variables);
        QFETCH(bool, japanese);
        QFETCH(bool, display);
        QProcessEnvironment env;
        for (const QString &v : variables)
            env.insert(v.section(u'=', 0, 0), v.section(u'=', 1));
        QCOMPARE(messageLanguage(env) == Language::Japanese, japanese);
        QCOMPARE(displayAvailable(env), display);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
