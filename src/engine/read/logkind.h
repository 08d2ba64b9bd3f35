#pragma once

#include <QStringView>

// What a log that gave no speakers looks like, from its first lines: the kinds of file a user may
// pick by mistake or expect the program to read, so that the message says what was found rather
// than to adjust the header text, which could not help.
enum class ForeignKind {
    None, // nothing known: perhaps a log whose header text is another
    Empty, // no text at all
    NotText, // bytes that are no text (a picture, an archive)
    LineExportWithoutMessages, // a LINE export read as such, holding no message
    LineExportLike, // a LINE export in a form not read ("[LINE]", "トーク履歴" at its top)
    WhatsApp, // "12/31/20, 9:03 PM - Name: text"
    KakaoTalk, // "--------------- 2019년 7월 10일 수요일 ---------------"
    Json, // data, such as the exports of several messengers
    Html, // a page, perhaps one this program wrote
};

// What the first lines of a log (decoded, up to a few kilobytes) look like.
ForeignKind foreignKind(QStringView head);
