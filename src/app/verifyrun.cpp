#include "verifyrun.h"

#include "batchhost.h"
#include "commandline.h"
#include "engine/convert/verifypage.h"
#include "fileio/filename.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

QString stateText(SourceCheck::State state)
{
    switch (state) {
    case SourceCheck::State::Same:
        return QCoreApplication::translate("Verify", "same");
    case SourceCheck::State::Changed:
        return QCoreApplication::translate("Verify", "changed");
    case SourceCheck::State::Missing:
        return QCoreApplication::translate("Verify", "missing");
    case SourceCheck::State::NotHashed:
        return QCoreApplication::translate("Verify", "no checksum to compare");
    }
    return {};
}

} // namespace

int runVerify(const CommandLine &commandLine, QTextStream &out)
{
    const QString &page = commandLine.verifyPage;
    const PageCheck check = verifyPage(page, commandLine.logs);
    const QString shownPage = fileio::printable(page);
    switch (check.outcome) {
    case PageCheck::Outcome::PageNotRead:
        out << QCoreApplication::translate("Verify", "%1: the page could not be read (%2).")
                   .arg(shownPage, BatchHost::reasonText(check.error))
            << '\n';
        return ExitNotVerifiable;
    case PageCheck::Outcome::NoProvenance:
        out << QCoreApplication::translate("Verify",
                                           "%1: the page does not say which files it was made of.")
                   .arg(shownPage)
            << '\n';
        return ExitNotVerifiable;
    case PageCheck::Outcome::Checked:
        break;
    }
    for (const SourceCheck &s : check.sources) {
        // Named as the user would type it from here.
        const QString relative = QDir::current().relativeFilePath(s.path);
        const QString shown = relative.startsWith(QStringLiteral("../")) ? s.path : relative;
        out << fileio::printable(shown) << ": " << stateText(s.state) << '\n';
    }
    out.flush();
    return check.allSame() ? ExitAllWritten : ExitSomeNotWritten;
}
