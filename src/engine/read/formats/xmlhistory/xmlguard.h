#pragma once

#include <functional>

class QIODevice;

// A look over an XML history's structure before it is parsed. The parser's work grows with the
// square of the attributes one element carries (its own or declared defaults), and a document
// type declaration can make a small file expand to gigabytes; histories never have either, so a
// file that does is refused rather than parsed. One pass, constant work per character.
//
// True when the document declares entities or attribute lists, an element carries more than
// MaxXmlAttributes attributes, or elements nest deeper than MaxXmlDepth (the parser keeps a
// record of every open element, and the messenger's histories are four levels deep). Documents in
// UTF-16, UTF-32 or any other encoding in which markup characters are not plain ASCII bytes are
// looked at after decoding.
//
// The document is read from `device`, from where it stands to its end, a piece at a time
// (`pieceDone` after each), so memory stays the same whatever its size. A read that fails is
// refused too.
bool xmlStructureRefused(QIODevice &device, const std::function<void()> &pieceDone = {});

inline constexpr int MaxXmlAttributes = 64;
inline constexpr int MaxXmlDepth = 1000;
