#pragma once

#include <QByteArrayView>
#include <QString>
#include <rapidjson/document.h>
#include <string>
#include <string_view>

// Meta's strings, which it writes as their UTF-8 bytes each taken for a character
// ("\u00e3\u0081\u0082" for "あ"), put back as they were typed.
namespace meta {

// A string as typed, from its UTF-8 as RapidJSON decodes it: Meta's bytes-as-characters put
// back together, where they are that (every character below U+0100, some above U+007F, and
// their bytes UTF-8 in turn); else as it is.
QString repaired(QByteArrayView utf8);
// An item (from its opening bracket) whose strings hold only characters below U+0100, those
// past U+007F written "\u00XX" (as Meta writes every string), written to `out` with those
// escapes made the bytes they stand for, then a NUL: what repaired() would make of its strings
// then reads straight from them, and RapidJSON reads them with no escape to decode. `used`: how
// much of `text` it took. False for any other item, and for one that runs past `text`.
bool unescapedBytes(std::string_view text, std::string &out, size_t &used);
// The string `name` of `object` as typed; `bytes`: the object was read by unescapedBytes().
QString str(const rapidjson::Value &object, std::string_view name, bool bytes);

} // namespace meta
