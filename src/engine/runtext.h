#pragma once

#include "codec/textcodec.h"
#include "engine/read/formats/formats.h"
#include "engine/read/logformat.h"

#include <QString>

// The texts a conversion run shows: status texts, message boxes and their titles.
//
// A message text that a batch run can print is marked QT_TRANSLATE_NOOP("RunMessage", …): the
// window shows it as it is, the batch run prints it in the user's language. These are the
// program's only texts written in Japanese first: their English is kept in a catalogue of its
// own (translations/pelorin_window_en.ts), whose source language is Japanese.
namespace runtext {
inline const QString Reading = QStringLiteral("(*ｰｪｰ)σ[読み込みちぅ]..");
inline const QString Converting = QStringLiteral("(*´▽`)[終了](*ｰｪｰ)σ[変換ちぅ]..");
inline const QString Saving = QStringLiteral("(*´▽`)[終了](*´▽`)[終了](*ｰｪｰ)σ[保存ちぅ]..");
inline const QString Cleared = QStringLiteral("ファイルを洗濯しれっ(゜▽、゜)y－~~~");
// A run, or the file list, asked for with no file selected.
inline const QString NoSelection = QStringLiteral("先にファイルを選択しれっつの（℃ ヽ(`Д´)ﾉ ");
inline const QString NoSelectionTitle = QStringLiteral("ごるぁ");
// "一つのチャットにまとめる" with fewer than two logs selected.
inline const QString MergeNeedsTwo
    = QStringLiteral("一つのチャットにまとめるには、同じチャットのログを二つ以上選んで下さい。");
inline const QString SaveFailed
    = QStringLiteral(QT_TRANSLATE_NOOP("RunMessage", "ファイルを保存できませんでした。"));
inline const QString SaveErrorTitle = QStringLiteral("保存エラー");
inline const QString NoSpeakers
    = QStringLiteral(QT_TRANSLATE_NOOP("RunMessage", "発言者が一人も見つかりませんでした。"))
    + textcodec::CrLf
    + QStringLiteral(QT_TRANSLATE_NOOP("RunMessage", "発言のヘッダを調整してみて下さい。"));
inline const QString NoSpeakersTitle = QStringLiteral("ログ解析エラー");
// An output would have replaced a log of the run.
inline const QString OverwritesLog
    = QStringLiteral(
          QT_TRANSLATE_NOOP("RunMessage", "変換元のログに上書きしちゃうので保存しませんでした。"))
    + textcodec::CrLf
    + QStringLiteral(
          QT_TRANSLATE_NOOP("RunMessage", "変換後ファイル名の先頭につける文字を設定して下さい。"));
// What a log that gave no speakers was found to be, when it is a kind of file the program does
// not read; empty for ForeignKind::None.
inline QString foreignKindText(const LogFormat &format)
{
    const char *text = nullptr;
    switch (format.foreign) {
    case ForeignKind::None:
        break;
    case ForeignKind::Empty:
        return QStringLiteral(QT_TRANSLATE_NOOP("RunMessage", "空のファイルでした。"));
    case ForeignKind::NotText:
        return QStringLiteral(QT_TRANSLATE_NOOP(
            "RunMessage", "文字のファイルではありませんでした（画像や圧縮ファイルなど）。"));
    case ForeignKind::WithoutMessages:
        text = formats::format(format.foreignFormat).noMessagesText();
        break;
    case ForeignKind::LooksLike:
        text = formats::format(format.foreignFormat).notReadText();
        break;
    }
    return text ? QString::fromUtf8(text) : QString();
}

// How a log without speakers was read, for the window's message (the batch run says it in
// its own words); empty where nothing was read as text, and for an XML history.
inline QString readAsText(const LogFormat &format)
{
    if (!format.known || format.xml() || format.foreign == ForeignKind::Empty)
        return QString();
    const textcodec::Detection &d = format.detection;
    QString encoding = textcodec::encodingName(d.encoding);
    if (d.bomBytes > 0)
        encoding += QStringLiteral(" BOM 付き");
    const QString lineEnd
        = d.hasLineEnd ? textcodec::lineEndName(d.lineEnd) : QStringLiteral("なし");
    return (format.lineExport()
                ? QStringLiteral("（LINE のトーク履歴、%1、改行 %2 として読みました）")
                : QStringLiteral("（%1、改行 %2 として読みました）"))
        .arg(encoding, lineEnd);
}

} // namespace runtext
