#pragma once

#include "codec/textcodec.h"
#include "pagestyles.h"
#include "palette.h"

#include <QHash>
#include <QString>
#include <optional>

// The program-wide copy of every option of the settings file. Filled by loadSettings, written
// back by saveSettings. Owned by the application and handed to the windows and the run.
struct Settings
{
    QString iniPath; // full path of the settings file

    QString defaultDir; // folder the file dialog starts in; always ends with "/"
    QString headerMode; // "0" standard header, "1" custom header word
    QString customHeader;
    QString headerText; // derived: the header text in force
    qint16 changeType = 0; // 0 indented text, otherwise HTML
    qint32 colorCount = 0;
    QString bodyColor;
    QString narColor;
    QString addStr;
    qint32 alwaysOnTop = 0;
    qint32 speedUp = 0;
    qint32 boldMessages = 0;
    qint32 colorNameToo = 0;
    qint32 windowTop = 0; // twips
    qint32 windowLeft = 0; // twips
    qint32 msgRuleEnable = 0;
    QString jsBgColor; // "いる" or "いらない"
    QString jsForeColor;
    QString jsFontBold;
    QString pageStyle; // the word of a page style, as stored; see pageStyleOf (pagestyles.h)
    qint32 makeIndex = 0; // 1 = folders that received pages get an index page
    QString logEncoding; // how logs are decoded: one of the EncodingWords, "自動" = detected
    // Chat exports: the time zone their instants are shown in (an IANA name; empty or unknown:
    // the system's).
    QString timeZone;
    // 1 = every output is safe to share: names become stand-ins ("人物A"), phone numbers,
    // addresses and the like are masked (engine/text/redaction.h).
    qint32 redact = 0;
    // 1 = classic pages and indented texts end with where they came from too (each source's
    // name, size and SHA-256); modern pages always do.
    qint32 provenance = 0;

    // Not stored in the file.
    qint32 colorCountAtLoad = 0;
    // Names for the ids a chat export gives people as ("id TAB name" lines).
    QHash<QString, QString> exportNames;
    bool commandLineRun = false;
    // The file existed but could not be read: what is held are defaults, so saveSettings
    // never replaces that file.
    bool iniUnreadable = false;
};

inline constexpr int TwipsPerPixel = 15;

// The header text of the standard mode (Hatsugen/Type "0").
inline const QString StandardHeaderText = QStringLiteral(" の発言 :");
// Written into keys a save no longer uses: keys are never removed from the file.
inline const QString RetiredKeyMarker = QStringLiteral("***削除していいです***");
// The section of the message rules: its Enable key is a setting, the rest are the rules.
inline constexpr char RuleSectionName[] = "MsgRule";

// What loading found at settings.iniPath.
struct SettingsFileState
{
    bool missing = false; // no file there: every default applies
    bool unreadable = false; // a file that cannot be read: the defaults apply, and no save
                             // ever replaces it
    QString reason; // why it could not be read, in a few words
    // The output prefix the file gives when it is none (isOutputPrefix): the default is used.
    std::optional<QString> refusedPrefix;
};

// Reads `settings.iniPath` (which the caller sets first) into settings and palette. At most 99
// palette entries are read: the two-digit keys name no more.
SettingsFileState loadSettings(Settings &settings, Palette &palette);
// Writes settings and palette to `settings.iniPath` in one atomic write; sets colorCount.
// Returns false when the file could not be written; a file that exists but cannot be read (now
// or when the settings were loaded) is left alone rather than replaced.
bool saveSettings(Settings &settings, const Palette &palette);

// The words stored for the encoding of the logs, also the captions of the "文字コード" menu:
// 自動 (detected per log), Shift-JIS, UTF-8, UTF-16, in this order.
inline const QString EncodingAuto = QStringLiteral("自動");
inline const QString EncodingWords[] = {EncodingAuto, QStringLiteral("Shift-JIS"),
                                        QStringLiteral("UTF-8"), QStringLiteral("UTF-16")};
// The choice a stored word names; any other word is 自動.
textcodec::Choice encodingChoice(const QString &word);
QString encodingWord(textcodec::Choice choice);

// The prefix put before an output's name (AddStr) is part of a file name, never a path: it holds
// no "/" or "\", and is not "." or "..". The settings file's value must be one, or the default
// applies; the settings dialog refuses any other.
bool isOutputPrefix(const QString &prefix);

// The JavaScript choices.
inline const QString JsWanted = QStringLiteral("いる");
inline const QString JsNotWanted = QStringLiteral("いらない");
