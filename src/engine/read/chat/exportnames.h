#pragma once

#include <QHash>
#include <QString>

// Names for people an export gives only as ids, from a small UTF-8 text file the user writes:
// one "id TAB name" per line; blank lines and lines starting with "#" are passed over.
//   # my names for the Skype ids
//   8:live:hanako<TAB>花子
// False with `error` ("line 3: no TAB between the id and the name") when the file cannot be
// read or a line is not of that form.
bool readExportNames(const QString &path, QHash<QString, QString> &names, QString *error);
