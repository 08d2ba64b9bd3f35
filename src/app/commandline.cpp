#include "commandline.h"

#include "fileio/filename.h"
#include "settings/pagestyles.h"
#include "settings/settingslocation.h"

#include <QCoreApplication>
#include <QTimeZone>

QStringList programArguments(int argc, const char *const *argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(fileio::decodeName(argv[i]));
    return arguments;
}

namespace {

// Whether arguments[i] is the option `longName` (or `shortName`) that takes a value: "--name
// VALUE", "--name=VALUE" or "-n VALUE". The value goes to `value` (empty when missing); i moves
// past it.
bool optionWithValue(const QStringList &arguments, qsizetype &i, QStringView longName,
                     QStringView shortName, QString &value)
{
    const QString &a = arguments[i];
    if (a.startsWith(longName) && a.size() > longName.size() && a[longName.size()] == u'=') {
        value = a.sliced(longName.size() + 1);
        return true;
    }
    if (a != longName && (shortName.isEmpty() || a != shortName))
        return false;
    value.clear();
    if (i + 1 < arguments.size() && !arguments[i + 1].isEmpty())
        value = arguments[++i];
    return true;
}

QString needsBatch(const char *option)
{
    return QCoreApplication::translate("CommandLine", "%1 needs --batch")
        .arg(QLatin1String(option));
}

// The words --page takes, as a usage error lists them: "classic or modern".
QString pageStyleChoices()
{
    QString words;
    const qsizetype count = std::size(PageStyles);
    for (qsizetype k = 0; k < count; ++k) {
        if (k > 0)
            words += k + 1 < count ? QStringLiteral(", ")
                                   : QCoreApplication::translate("CommandLine", " or ");
        words += QLatin1StringView(PageStyles[k].word);
    }
    return words;
}

// The words of --encoding, lower case.
std::optional<textcodec::Choice> encodingArgument(const QString &word)
{
    using textcodec::Choice;
    const QString w = word.toLower();
    if (w == u"auto")
        return Choice::Auto;
    if (w == u"sjis" || w == u"shift-jis" || w == u"cp932")
        return Choice::ShiftJis;
    if (w == u"utf-8" || w == u"utf8")
        return Choice::Utf8;
    if (w == u"utf-16" || w == u"utf16")
        return Choice::Utf16;
    return std::nullopt;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine cl;
    bool text = false, html = false, index = false, noIndex = false, optionsEnded = false;
    auto usage = [&cl](const QString &message) {
        if (cl.error.isEmpty())
            cl.error = message;
    };
    QString encodingWord;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (optionsEnded || !a.startsWith(u'-') || a == u"-") {
            cl.logs.append(a);
        } else if (a == u"--") {
            optionsEnded = true;
        } else if (a == u"--help" || a == u"-h") {
            cl.help = true;
        } else if (a == u"--version") {
            cl.version = true;
        } else if (a == u"--batch") {
            cl.batch = true;
        } else if (a == u"--text") {
            text = true;
        } else if (a == u"--html") {
            html = true;
        } else if (optionWithValue(arguments, i, u"--page", {}, cl.pageStyle)) {
            if (!pageStyleNamed(cl.pageStyle)) {
                cl.pageStyle.clear();
                usage(QCoreApplication::translate("CommandLine", "--page needs %1")
                          .arg(pageStyleChoices()));
            }
        } else if (a == u"--index") {
            index = true;
        } else if (a == u"--no-index") {
            noIndex = true;
        } else if (optionWithValue(arguments, i, u"--settings", {}, cl.settingsFile)) {
            if (cl.settingsFile.isEmpty())
                usage(QCoreApplication::translate("CommandLine", "--settings needs a FILE"));
        } else if (optionWithValue(arguments, i, u"--encoding", {}, encodingWord)) {
            cl.encoding = encodingArgument(encodingWord);
            if (!cl.encoding)
                usage(QCoreApplication::translate(
                          "CommandLine", "--encoding takes auto, sjis, utf-8 or utf-16, not \"%1\"")
                          .arg(encodingWord));
        } else if (optionWithValue(arguments, i, u"--output-dir", u"-o", cl.outputDir)) {
            if (cl.outputDir.isEmpty())
                usage(QCoreApplication::translate("CommandLine", "--output-dir needs a DIR"));
        } else if (optionWithValue(arguments, i, u"--timezone", {}, cl.timeZone)) {
            if (!QTimeZone(cl.timeZone.toUtf8()).isValid())
                usage(QCoreApplication::translate(
                          "CommandLine",
                          "--timezone needs a time zone such as Asia/Tokyo, not \"%1\"")
                          .arg(cl.timeZone));
        } else if (optionWithValue(arguments, i, u"--names", {}, cl.namesFile)) {
            if (cl.namesFile.isEmpty())
                usage(QCoreApplication::translate("CommandLine", "--names needs a FILE"));
        } else if (a == u"--recursive" || a == u"-r") {
            cl.recursive = true;
        } else if (a == u"--quiet" || a == u"-q") {
            cl.quiet = true;
        } else if (a == u"--redact") {
            cl.redact = true;
        } else if (a == u"--merge") {
            cl.merge = true;
        } else if (a == u"--provenance") {
            cl.provenance = true;
        } else if (optionWithValue(arguments, i, u"--verify", {}, cl.verifyPage)) {
            if (cl.verifyPage.isEmpty())
                usage(QCoreApplication::translate("CommandLine", "--verify needs a PAGE"));
        } else {
            usage(QCoreApplication::translate("CommandLine", "unknown option: %1").arg(a));
        }
    }
    if (text && html)
        usage(QCoreApplication::translate("CommandLine", "--text and --html exclude each other"));
    else if (text)
        cl.changeType = 0;
    else if (html)
        cl.changeType = 1;
    if (index && noIndex)
        usage(QCoreApplication::translate("CommandLine",
                                          "--index and --no-index exclude each other"));
    else if (index || noIndex)
        cl.index = index;
    if (cl.help || cl.version)
        return cl;
    if (cl.changeType && !cl.batch)
        usage(QCoreApplication::translate("CommandLine", "--text and --html need --batch"));
    if (!cl.batch) {
        if (!cl.outputDir.isEmpty())
            usage(needsBatch("--output-dir"));
        if (cl.recursive)
            usage(needsBatch("--recursive"));
        if (cl.quiet)
            usage(needsBatch("--quiet"));
        if (!cl.pageStyle.isEmpty())
            usage(needsBatch("--page"));
        if (cl.index)
            usage(needsBatch(*cl.index ? "--index" : "--no-index"));
        if (cl.encoding)
            usage(needsBatch("--encoding"));
        if (!cl.timeZone.isEmpty())
            usage(needsBatch("--timezone"));
        if (!cl.namesFile.isEmpty())
            usage(needsBatch("--names"));
        if (cl.redact)
            usage(needsBatch("--redact"));
        if (cl.merge)
            usage(needsBatch("--merge"));
        if (cl.provenance)
            usage(needsBatch("--provenance"));
    }
    if (cl.batch && !cl.verifyPage.isEmpty())
        usage(
            QCoreApplication::translate("CommandLine", "--verify and --batch exclude each other"));
    if (!cl.verifyPage.isEmpty())
        return cl;
    if (cl.batch && cl.logs.isEmpty())
        usage(QCoreApplication::translate("CommandLine", "--batch needs at least one LOG"));
    if (cl.logs.contains(u"-") && cl.batch) {
        // The output kind is named, as the output goes where no name shows it.
        if (cl.logs.size() > 1)
            usage(QCoreApplication::translate("CommandLine",
                                              "standard input (\"-\") must be the only LOG"));
        else if (!cl.changeType)
            usage(QCoreApplication::translate(
                "CommandLine", "reading standard input (\"-\") needs --text or --html"));
        else if (!cl.outputDir.isEmpty())
            usage(QCoreApplication::translate(
                "CommandLine", "--output-dir does not go with standard input (\"-\")"));
        else if (cl.merge)
            usage(QCoreApplication::translate("CommandLine",
                                              "--merge does not go with standard input (\"-\")"));
    }
    return cl;
}

QString settingsPathFor(const CommandLine &commandLine, const QString &programDir)
{
    return locateSettingsFile(commandLine.settingsFile, programDir);
}
