#pragma once

#include "engine/runhost.h"
#include "settings/settings.h"

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <functional>

class QIcon;
class QWidget;

namespace ui {

// Geometry in the stored files and layouts is in twips (TwipsPerPixel to a logical pixel):
// twips(t) is the pixels of t twips, twipsOf(p) the twips of p pixels.
constexpr int twips(int t)
{
    return t / TwipsPerPixel;
}
constexpr int twipsOf(int pixels)
{
    return pixels * TwipsPerPixel;
}

// Maps the Japanese Windows font names the windows use ("ＭＳ Ｐゴシック", "ＭＳ ゴシック", …)
// to the installed Japanese fonts. Call once after the application object exists.
void installFontSubstitutions();

// Tells the desktop whose windows these are: the name of the program's desktop file (its
// launcher, name and icon in task bars and window lists) and the program's icon, which every
// window then shows. Call once after the application object exists.
void identifyToDesktop();

// The program's icon: the icon theme's "pelorin" when one has it, otherwise the one built in.
QIcon programIcon();

// "#RRGGBB" -> QColor (invalid pairs count as 0, as the colour code rules do).
QColor colorFromCode(const QString &code);

// The light grey of the windows' backgrounds and of their plain buttons.
inline const QString WindowGrey = QStringLiteral("#E0E0E0");

// Puts a window in or out of the topmost layer without moving or activating it.
void setTopmost(QWidget *window, bool topmost);

// Sets a control's geometry given in twips.
void placeTwips(QWidget *widget, int left, int top, int width, int height);

// A focused push button of `window` is pressed by Return and Enter as well as by Space, the
// habit of the users' platform: Qt buttons outside a dialog answer Space only. Elsewhere in a
// dialog Return goes to the button made its default, and only to that one (a Qt dialog would
// otherwise keep the last focused button as its default). Call once the buttons exist.
void pressButtonsOnReturn(QWidget *window);

// How every window shows a message box: prompt, OK button, icon, title, modal over `parent`.
// A window that shows messages takes one when it is made and hands it on to the windows it
// opens; the program gives showMessageBox, tests a function that records the messages.
using MessageFunction = std::function<void(QWidget *parent, QMessageBox::Icon icon,
                                           const QString &prompt, const QString &title)>;

// The program's message box: prompt, OK button, icon, title; modal over `parent` and above
// the topmost windows, so it never opens behind a dialog that stays on top.
void showMessageBox(QWidget *parent, QMessageBox::Icon icon, const QString &prompt,
                    const QString &title);

// The message box icon of a conversion run's message.
QMessageBox::Icon messageBoxIcon(RunHost::Icon icon);

// A save of the settings file failed: "設定ファイルに書き込めなかったよ…", the file's path and
// `note` (what that means for the user), one per line; the title of that message.
QString settingsNotWrittenText(const QString &path, const QString &note);
inline const QString SettingsNotWrittenTitle = QStringLiteral("保存できないっす");
// The note when the settings stay in force all the same.
inline const QString SettingsInForceNotSaved
    = QStringLiteral("設定はこのまま使えるけど、保存はされてないからね");

} // namespace ui
