#pragma once

#include "engine/read/formats/xarchive/xarchivecontent.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class ExportFiles;

// The conversations of X's archive as one pass over its files of messages finds them.
namespace xarchive {

// Whether a file starts as a file of direct messages does.
bool startsAsMessages(const QByteArray &head);
// The files of messages: one-to-one before groups, each in the order of its parts.
QStringList messageFiles(const ExportFiles &files);

// Where a conversation's list of messages starts in one file: just past its "messages" key.
struct Stretch
{
    QString file;
    qint64 offset = -1;
};

// One conversation as the list of chats gives it.
struct Listed
{
    QString id;
    QString key;
    QString name;
    QStringList people; // ids, as they appear
    std::vector<Stretch> stretches; // in the order of the files
};

// The chats of an export as one pass over its files found them.
struct Listing
{
    QString stamp;
    People people;
    QStringList names;
    std::vector<Listed> chats;
};

// The listing of an export, read once and kept while its files are unchanged: listing the chats
// and then opening each of them (a conversion of every chat) reads the files through once, and
// each chat only its own stretches. Null when a file is broken (`error` says where).
std::shared_ptr<const Listing> listing(const ExportFiles &files, QString *error);

} // namespace xarchive
