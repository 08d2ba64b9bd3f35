#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <functional>

// Text on its way into a page, for every page the program writes.

// Takes the page text piece by piece.
using PageSink = std::function<void(QStringView)>;

// The first element of the head of a UTF-8 page.
inline const QString Utf8MetaTag = QStringLiteral("<meta charset=\"utf-8\">");

// What "(L)" and "(l)" in a chat become.
inline const QString HeartHtml
    = QStringLiteral("<font color=red><b><big>&hearts;</big></b></font>");

// What a log line goes through before the page is built from it: the chat markup filter, then
// every "(L)" and "(l)" becomes the red heart.
void prepareHtmlLine(QString &line);
// Whether prepareHtmlLine() leaves the line of these bytes as it is: no "<", "(L)" or "(l)" in
// them. For bytes in Shift-JIS or UTF-8, whose ASCII bytes are always characters of their own.
bool htmlLineUnchanged(QByteArrayView bytes);
// What a line of plain text (a LINE export) goes through instead: "&", "<", ">" and quotes
// escaped, so it shows as typed.
void escapeHtmlLine(QString &line);

// The log's file name without its extension ("chat.2024-01-15" for "chat.2024-01-15.txt"; a
// name that has none whole): the name a page goes by.
QString pageBaseName(const QString &logPath);

// Text as it is, with "&", "<", ">" and quotes escaped (attribute values and plain text).
QString htmlEscaped(QStringView text);
// Chat markup reduced to its text, entities kept (for the title).
QString markupText(QStringView markup);

// A Content-Security-Policy hash source for text a page holds inline ("'sha256-…'"), from
// the SHA-256 digest of its UTF-8.
QString hashSource(QByteArrayView sha256);
QString hashSource(QStringView text);
// The page's policy: nothing but these scripts and styles, no request, no form, no base;
// `more`: a further directive ("img-src 'self'").
QString securityPolicyMeta(QStringView scriptSources, QStringView styleSources,
                           QStringView more = {});

// Appends page text: code page 932 with characters it lacks as numeric references ("&#N;"),
// or UTF-8 with every character as itself.
void appendPageText(QStringView text, bool utf8Page, QByteArray &out);
// UTF-8 of the text; a lone surrogate (a byte the log's encoding did not define) becomes
// U+FFFD, so the page is always valid UTF-8.
void appendUtf8(QStringView text, QByteArray &out);
