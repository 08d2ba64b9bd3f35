#include "engine/convert/redactrun.h"

#include "engine/appstate.h"
#include "engine/text/linetests.h"
#include "engine/text/redaction.h"
#include "engine/text/speakerkeys.h"

#include <QTimeZone>

namespace {

// "[返信] Ann「…」" names whom it answers; "[返信] #id" no one.
QString replySender(const QString &line)
{
    static const QString Mark = QStringLiteral("[返信] ");
    if (!line.startsWith(Mark) || line.size() == Mark.size() || line[Mark.size()] == u'#')
        return QString();
    QStringView rest = QStringView(line).sliced(Mark.size());
    const qsizetype quote = rest.indexOf(u'「');
    return (quote < 0 ? rest : rest.first(quote)).toString();
}

// "[リアクション] 👍 Ann、Bo / ❤" names who reacted, after each emoji.
QStringList reactors(const QString &line)
{
    static const QString Mark = QStringLiteral("[リアクション] ");
    QStringList names;
    if (!line.startsWith(Mark))
        return names;
    const QStringList parts = line.sliced(Mark.size()).split(QStringLiteral(" / "));
    for (const QString &part : parts) {
        const qsizetype blank = part.indexOf(u' ');
        if (blank > 0)
            names += part.sliced(blank + 1).split(u'、', Qt::SkipEmptyParts);
    }
    return names;
}

} // namespace

void learnNames(AppState &state, const QString &path)
{
    const Settings &settings = state.settings;
    LogReader reader;
    if (!settings.timeZone.isEmpty())
        reader.setTimeZone(QTimeZone(settings.timeZone.toUtf8()));
    reader.setNames(settings.exportNames);
    QStringList others;
    reader.setRecipientFilter(
        [&others](QString &to) { others += to.split(u'、', Qt::SkipEmptyParts); });
    if (!reader.open(path, settings.headerText, encodingChoice(settings.logEncoding)))
        return;
    const LineTests tests(settings.headerText);
    SpeakerKeys speakers(settings.headerText);
    QString line;
    LineInfo info;
    while (reader.readLine(line, &info)) {
        switch (info.role) {
        case LineRole::Header:
            speakers.add(line, info.role);
            break;
        case LineRole::Unknown:
            if (tests.isHeaderLine(line))
                speakers.add(line);
            break;
        case LineRole::Reply:
            others.append(replySender(line));
            break;
        case LineRole::Reactions:
            others += reactors(line);
            break;
        default:
            break;
        }
    }
    // Unfinished, the speakers stand in the order they first spoke.
    state.pageRun.names.add(speakers.names() + others + reader.people());
}

QString redactedPath(const QString &path, const RedactedNames &names)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    QString name = path.sliced(slash + 1);
    names.redact(name);
    return path.first(slash + 1) + name;
}

void redactRecipients(LogReader &reader, const RedactedNames &names)
{
    reader.setRecipientFilter([&names](QString &to) { names.redact(to); });
}

LogReader::Transform redactedLines(const RedactedNames &names, const QString &headerText,
                                   LogReader::Transform then)
{
    return [&names, headerText, then = std::move(then)](QString &line) {
        names.redact(line, headerText);
        if (then)
            then(line);
    };
}
