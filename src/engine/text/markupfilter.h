#pragma once

#include <QString>
#include <QStringView>

// Chat text goes into the HTML page as markup, so that bold or coloured text typed in a chat
// still shows. Only presentational elements are let through: the start and end tags of b, i, u,
// s, strike, em, strong, big, small, sub, sup, tt, br, and font with no attributes but color,
// size and face, whose values hold neither "<" nor ">". Every other "<" (any other tag, an
// allowed tag with another attribute, a comment, a doctype, a processing instruction, a tag left
// open at the end of its line) is written as "&lt;", so nothing the chat partner typed can run a
// script or load anything.
// "&" passes, so entities keep working. Linear in the length of the text.
QString filterChatMarkup(QStringView text);

// In filtered text, the end (just past its ">") of the tag that starts at `start`, a "<"; the
// end of the text when it does not close. Quoted values are skipped, so even a ">" inside one
// could not end the tag early.
qsizetype chatTagEnd(QStringView filtered, qsizetype start);
