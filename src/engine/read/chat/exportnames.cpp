#include "engine/read/chat/exportnames.h"

#include <QCoreApplication>
#include <QFile>

bool readExportNames(const QString &path, QHash<QString, QString> &names, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].endsWith(u'\r') ? lines[i].chopped(1) : lines[i];
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0 || line.mid(tab + 1).trimmed().isEmpty()) {
            //: A line of the --names file that is not "id TAB name".
            *error
                = QCoreApplication::translate("FileError", "line %1: not an id, a TAB and a name")
                      .arg(i + 1);
            return false;
        }
        names.insert(line.left(tab).trimmed(), line.mid(tab + 1).trimmed());
    }
    return true;
}
