#pragma once

#include <QString>

// The modern page's fixed style sheet and script, written into every page as they are (the
// page is one self-contained file). They are kept as files beside the code (page/assets/, in
// the program's resources); the per-speaker colours are written beside them.
//
// An utterance is `<div class="u sN" id="uM"><a href="#uM">name</a><time>…</time><p>text</p>`
// (a continuation after a notice: class "u sN more", no name); the speaker's class holds its
// light and dark colour as --cl / --cd, and "--c" is the one the theme uses. Sections off
// screen are neither laid out nor painted, so a long log opens at once.
//
// The script runs right after the heading, before the utterances arrive: the controls work
// while a long page is still loading. Showing or hiding a speaker is a class on the root (the
// style sheet has a rule per speaker); the search and the sections left empty are settled by a
// pass over the page cut into slices of a few milliseconds, so the tab never stalls.
namespace modernassets {

// Notices sit on a tint of their own; their colour is made readable on it.
inline const QString LightNoteBackground = QStringLiteral("#F1F3F5");
inline const QString DarkNoteBackground = QStringLiteral("#262A30");

// Light theme values first; the dark values follow (pageassets::darkVariables()).
const QString &style();
const QString &printStyle();
// What only a chat app's export has: replies, pictures, reactions, edits.
const QString &exportStyle();
const QString &script(); // the theme switch (theme.js), the search (search.js), the page's own

} // namespace modernassets
