#pragma once

#include <QString>
#include <QStringView>

struct AppState;
class RunHost;

// Converts every selected log into an HTML page next to it: each speaker's utterances in a
// CSS class and colour of their own (from the palette in turn, or by message rule, then as the
// speaker colour dialog left them), headed by the legend table. Closing the colour dialog
// without OK stops the whole run.
void convertToHtml(AppState &state, RunHost &host);

// What a log line goes through before the page is built from it: the chat markup filter, then
// every "(L)" and "(l)" becomes the red heart.
void prepareHtmlLine(QString &line);
// What a line of plain text (a LINE export) goes through instead: "&", "<", ">" and quotes
// escaped, so it shows as typed.
void escapeHtmlLine(QString &line);

inline const QString HeartHtml
    = QStringLiteral("<font color=red><b><big>&hearts;</big></b></font>");
