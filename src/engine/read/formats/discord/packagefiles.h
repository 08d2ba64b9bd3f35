#pragma once

#include <QString>

// What a data package tells beside one channel's messages (messages/c123/messages.json):
// channel.json in the same folder, the names of all channels in messages/index.json, and the
// account in account/user.json two folders up.
namespace discord {

// The channel's name as the page heads it: "guild / #channel", a group's name, or the name the
// index gives a direct message ("Direct Message with alice"); empty when none tells.
QString packageChatName(const QString &messagesPath);
// The name of the user who asked for the package, who sent every message in it; a neutral
// word when the package does not tell.
QString packageUserName(const QString &messagesPath);

} // namespace discord
