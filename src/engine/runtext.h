#pragma once

#include "codec/textcodec.h"

#include <QString>

// The texts a conversion run shows: status texts, message boxes and their titles.
//
// A message text that a batch run can print is marked QT_TRANSLATE_NOOP("RunMessage", …): the
// window shows it as it is, the batch run prints it in the user's language.
namespace runtext {
inline const QString Reading = QStringLiteral("(*ｰｪｰ)σ[読み込みちぅ]..");
inline const QString Converting = QStringLiteral("(*´▽`)[終了](*ｰｪｰ)σ[変換ちぅ]..");
inline const QString Saving = QStringLiteral("(*´▽`)[終了](*´▽`)[終了](*ｰｪｰ)σ[保存ちぅ]..");
inline const QString Cleared = QStringLiteral("ファイルを洗濯しれっ(゜▽、゜)y－~~~");
// A run, or the file list, asked for with no file selected.
inline const QString NoSelection = QStringLiteral("先にファイルを選択しれっつの（℃ ヽ(`Д´)ﾉ ");
inline const QString NoSelectionTitle = QStringLiteral("ごるぁ");
inline const QString SaveFailed
    = QStringLiteral(QT_TRANSLATE_NOOP("RunMessage", "ファイルを保存できませんでした。"));
inline const QString SaveErrorTitle = QStringLiteral("保存エラー");
inline const QString NoSpeakers
    = QStringLiteral(QT_TRANSLATE_NOOP("RunMessage", "発言者が一人も見つかりませんでした。"))
    + textcodec::CrLf
    + QStringLiteral(QT_TRANSLATE_NOOP("RunMessage", "発言のヘッダを調整してみて下さい。"));
inline const QString NoSpeakersTitle = QStringLiteral("ログ解析エラー");
} // namespace runtext
