#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

struct Settings;

// The styles an HTML page is written in.
enum class PageStyle { Classic, Modern };

// What a style is called. PageStyles is the one list of the styles: the settings file, --page
// and its texts, and the 設定 menu's ページの形 items all go by it, and the engine gives each
// style its writer (engine/page/pagewriter.h).
struct PageStyleName
{
    PageStyle style;
    const char *word; // stored as Page/Style, and given to --page
    const char *caption; // the menu item (UTF-8)
    const char *help; // what --help says of it (in the context "CommandLine"), lines of 50 columns
};

// In the order of the menu and --help. The first is the default, and the style of any stored
// word that names none.
inline constexpr PageStyleName PageStyles[] = {
    {PageStyle::Classic, "classic", "クラシック",
     QT_TRANSLATE_NOOP("CommandLine", "the page as it always was")},
    {PageStyle::Modern, "modern", "モダン",
     QT_TRANSLATE_NOOP("CommandLine",
                       "for today's browsers and phones: UTF-8, a light\n"
                       "and a dark theme, search and speaker filters, a\n"
                       "calendar of its days, statistics and where it\n"
                       "came from at its end; a speaker met again in a\n"
                       "later log keeps its earlier colour")},
};

// The style `word` names; none for any other word.
std::optional<PageStyle> pageStyleNamed(QStringView word);
// The style the settings choose.
PageStyle pageStyleOf(const Settings &settings);
// A style's word, as stored.
QString pageStyleWord(PageStyle style);
