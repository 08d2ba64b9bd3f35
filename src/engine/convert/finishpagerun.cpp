#include "engine/convert/finishpagerun.h"

#include "engine/appstate.h"
#include "engine/page/index/indexfile.h"
#include "engine/runhost.h"

#include <QMap>

bool finishPageRun(AppState &state, RunHost &host)
{
    PageRun &run = state.pageRun;
    bool ok = !run.filesNotWritten;
    if (state.settings.makeIndex == 1) {
        // One index per folder, its rows named by file name within it.
        QMap<QString, QList<IndexEntry>> byFolder;
        for (IndexEntry entry : std::as_const(run.pages)) {
            const qsizetype slash = entry.page.lastIndexOf(u'/');
            const QString folder = slash < 0 ? QStringLiteral(".") : entry.page.left(slash);
            entry.page = entry.page.mid(slash + 1);
            byFolder[folder].append(entry);
        }
        for (auto it = byFolder.cbegin(); it != byFolder.cend(); ++it) {
            QString error;
            if (writePageIndex(it.key(), state.settings.addStr, it.value(), *run.terms, &error))
                continue;
            ok = false;
            const QString path = it.key() + u'/' + indexFileName(state.settings.addStr);
            host.outputNotWritten(QString(), path, error);
        }
    }
    run = PageRun();
    return ok;
}
