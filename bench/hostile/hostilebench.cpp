// Figures that unit tests must not time, measured against a baseline of the same run:
//   hostilebench xml DIR      writes hostile 10 MB XML histories and an ordinary one into DIR
//   hostilebench markup       the chat markup filter on a line of unfinished tags against
//                             one of half the length
//   hostilebench pauses LOG   converts LOG to text and to a page in this process and prints the
//                             longest and the mean pause between two event pumps
#include "common/loggen.h"
#include "engine/appstate.h"
#include "engine/convert/htmlconverter.h"
#include "engine/convert/run.h"
#include "engine/runhost.h"
#include "engine/speakerhandover.h"
#include "engine/text/markupfilter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <cstring>

namespace {

constexpr qsizetype XmlBytes = 10 << 20;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// `piece` repeated to about XmlBytes between `head` and `tail`.
QByteArray filled(const QByteArray &head, const QByteArray &piece, const QByteArray &tail)
{
    return head + piece.repeated((XmlBytes - head.size() - tail.size()) / piece.size()) + tail;
}

QByteArray nested(int levels, const QByteArray &inner)
{
    return QByteArray("<b>").repeated(levels) + inner + QByteArray("</b>").repeated(levels);
}

int writeXml(const QString &dir)
{
    const QByteArray log = "<Log>", end = "</Log>";
    const QByteArray message = "<Message><From><User FriendlyName=\"Aki\"/></From>"
                               "<Text>hello there (L)</Text></Message>";
    QByteArray attributes = "<U";
    for (int i = 0; attributes.size() < XmlBytes; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"x\"";
    QByteArray attlist = "<!DOCTYPE Log [";
    for (int i = 0; attlist.size() < XmlBytes; ++i)
        attlist += "<!ATTLIST User a" + QByteArray::number(i) + " CDATA \"x\">";
    QByteArray sixtyFour = "<User FriendlyName=\"Aki\"";
    for (int i = 1; i < 64; ++i)
        sixtyFour += " a" + QByteArray::number(i) + "=\"\"";
    QByteArray names;
    for (int i = 0; names.size() < XmlBytes; ++i)
        names += "<M><F><U FriendlyName=\"n" + QByteArray::number(i) + "\"/></F></M>";
    const QString wide = QString::fromLatin1("<Log><M><F>" + attributes + "/></F></M></Log>");
    const QList<std::pair<const char *, QByteArray>> files = {
        {"ordinary", filled(log, message, end)},
        {"nested-999",
         filled(log, "<M><F><U FriendlyName=\"a\">" + nested(996, "x") + "</U></F></M>", end)},
        {"nested-1400000", filled(log, "<a>", "") + QByteArray("</a>").repeated(XmlBytes / 7)},
        {"sender-markup-without-name",
         filled(log, "<M><F><U>" + nested(990, "<i a=\"b\">c</i>") + "</U></F></M>", end)},
        {"attributes-64", filled(log, "<M><F>" + sixtyFour + "/></F><T>x</T></M>", end)},
        {"attributes-one-element", log + "<M><F>" + attributes + "/></F></M>" + end},
        {"attributes-utf16",
         "\xff\xfe" + QByteArray(reinterpret_cast<const char *>(wide.utf16()), wide.size() * 2)},
        {"attribute-lists", attlist + "]>" + log + message + end},
        {"comments", filled(log + message, "<!---->", end)},
        {"processing-instructions", filled(log + message, "<?a?>", end)},
        {"empty-events", filled(log + message, "<b/>", end)},
        {"entities-in-names",
         filled(log, "<M><F><U FriendlyName=\"&amp;&lt;&#x1F600;\"/></F><T>&amp;</T></M>", end)},
        {"distinct-speakers", log + names + end},
    };
    for (const auto &[name, bytes] : files) {
        if (!writeFile(QDir(dir).filePath(QString::fromLatin1(name) + QStringLiteral(".xml")),
                       bytes))
            return 1;
        std::printf("%s\n", name);
    }
    return 0;
}

double secondsOf(const std::function<void()> &work)
{
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer clock;
        clock.start();
        work();
        best = qMin(best, clock.nsecsElapsed() / 1e9);
    }
    return best;
}

// Linear: twice the text takes about twice the time, also for a line of unfinished tags.
int markup()
{
    const QString tag = QStringLiteral("<font color=x ");
    const QString half = tag.repeated(1000000), whole = tag.repeated(2000000);
    qsizetype sink = 0;
    const double h = secondsOf([&] { sink += filterChatMarkup(half).size(); });
    const double w = secondsOf([&] { sink += filterChatMarkup(whole).size(); });
    std::printf("markup filter, %lld characters of unfinished tags  %8.4f s\n",
                static_cast<long long>(half.size()), h);
    std::printf("markup filter, %lld characters of unfinished tags  %8.4f s\n",
                static_cast<long long>(whole.size()), w);
    std::printf("ratio twice the text/the text  %6.2f  (target <= 2.50, linear)  [%lld]\n", w / h,
                static_cast<long long>(sink % 10));
    return 0;
}

// Notes the time between two event pumps.
class PauseHost : public RunHost
{
public:
    PauseHost() { m_clock.start(); }
    void start() { m_last = m_clock.nsecsElapsed(); }
    void processEvents() override
    {
        const qint64 now = m_clock.nsecsElapsed();
        longest = qMax(longest, now - m_last);
        total += now - m_last;
        ++pumps;
        m_last = now;
    }
    void runSpeakerColorDialog(SpeakerHandover &handover) override
    {
        handover.colorDialogCloses = 2;
        start(); // waiting for the user is not work
    }
    void setStatusText(const QString &) override { }
    void progressInit(int) override { }
    void setProgressValue(int) override { }
    void showMessage(Icon, const QString &, const QString &, const QString &) override { }
    void openSettingsDialog() override { }
    void beginProgressDisplay() override { }
    void endProgressDisplay() override { }
    void setMainWindowVisible(bool) override { }
    void setBusyCursor(bool) override { }
    void focusOffscreen() override { }
    void selectionCleared() override { }

    qint64 longest = 0, total = 0, pumps = 0;

private:
    QElapsedTimer m_clock;
    qint64 m_last = 0;
};

// Exit status 1 when a pause exceeds 100 ms.
int pauses(const QString &log)
{
    int status = 0;
    for (const qint16 changeType : {qint16(0), qint16(1)}) {
        AppState state;
        state.settings.headerText = QStringLiteral(" の発言：");
        state.settings.addStr = QStringLiteral("_");
        state.settings.changeType = changeType;
        state.settings.jsBgColor = state.settings.jsForeColor = state.settings.jsFontBold
            = QStringLiteral("いらない");
        const qsizetype slash = log.lastIndexOf(u'/') + 1;
        state.selection.setItems({{log, log.left(slash) + u'_' + log.mid(slash).chopped(3)}});
        PauseHost host;
        QElapsedTimer clock;
        clock.start();
        host.start();
        mnuRun_Click(state, host);
        const double ms = clock.nsecsElapsed() / 1e6;
        const double longest = host.longest / 1e6;
        const double mean = host.pumps ? host.total / 1e6 / host.pumps : 0;
        std::printf("%s: run %.0f ms, %lld pumps, longest pause %.1f ms, mean %.2f ms\n",
                    changeType ? "page" : "text", ms, static_cast<long long>(host.pumps), longest,
                    mean);
        std::printf("%s: ratio longest pause/100 ms %6.2f  (target <= 1.00)\n",
                    changeType ? "page" : "text", longest / 100);
        if (longest > 100)
            status = 1;
    }
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "xml") == 0)
        return writeXml(QString::fromLocal8Bit(argv[2]));
    if (argc >= 2 && std::strcmp(argv[1], "markup") == 0)
        return markup();
    if (argc >= 3 && std::strcmp(argv[1], "pauses") == 0)
        return pauses(QString::fromLocal8Bit(argv[2]));
    std::fprintf(stderr, "usage: hostilebench xml DIR | markup | pauses LOG\n");
    return 2;
}
