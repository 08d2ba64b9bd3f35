<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
<context>
    <name>FileError</name>
    <message>
        <source>the CSV breaks at line %1: a quoted field is not closed</source>
        <extracomment>A CSV file that ends inside a quoted field.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the JSON holds no list of messages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file changed while it was read</source>
        <extracomment>A file that became shorter while it was read.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the export holds no such chat</source>
        <extracomment>A Skype export without the conversation asked for (or a damaged one).</extracomment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RunMessage</name>
    <message>
        <source>発言者が一人も見つかりませんでした。</source>
        <translation>No speaker was found.</translation>
    </message>
    <message>
        <source>発言のヘッダを調整してみて下さい。</source>
        <translation>Try adjusting the speaker header in the settings.</translation>
    </message>
    <message>
        <source>変換元のログに上書きしちゃうので保存しませんでした。</source>
        <translation>Not saved: the output would overwrite the log itself.</translation>
    </message>
    <message>
        <source>変換後ファイル名の先頭につける文字を設定して下さい。</source>
        <translation>Set the prefix put in front of output file names.</translation>
    </message>
    <message>
        <source>ファイルを保存できませんでした。</source>
        <translation>Could not save the file:</translation>
    </message>
    <message>
        <source>空のファイルでした。</source>
        <translation>The file is empty.</translation>
    </message>
    <message>
        <source>文字のファイルではありませんでした（画像や圧縮ファイルなど）。</source>
        <translation>The file holds no text (a picture, an archive or the like).</translation>
    </message>
    <message>
        <source>LINE のトーク履歴</source>
        <translation>LINE talk history</translation>
    </message>
    <message>
        <source>LINE のトーク履歴ですが、メッセージが一つもありませんでした。</source>
        <translation>A LINE talk history, but it holds no message.</translation>
    </message>
    <message>
        <source>LINE のトーク履歴のようですが、読める形ではありませんでした。</source>
        <translation>This looks like a LINE talk history in a form that is not recognised.</translation>
    </message>
    <message>
        <source>WhatsApp のトークの書き出しですが、メッセージが一つもありませんでした。</source>
        <translation>A WhatsApp chat export, but it holds no message.</translation>
    </message>
    <message>
        <source>WhatsApp のトークの書き出しのようですが、読める形ではありませんでした。</source>
        <translation>This looks like a WhatsApp chat export in a form that is not recognised.</translation>
    </message>
    <message>
        <source>Discord の書き出しですが、メッセージが一つもありませんでした。</source>
        <translation>A Discord export, but it holds no message.</translation>
    </message>
    <message>
        <source>カカオトークのトークの書き出しのようです。この形は読めません。</source>
        <translation>This looks like a KakaoTalk chat export, which is not read.</translation>
    </message>
    <message>
        <source>カカオトークの書き出しですが、メッセージが一つもありませんでした。</source>
        <translation>A KakaoTalk chat export, but it holds no message.</translation>
    </message>
    <message>
        <source>JSON のデータのようです。チャットのログとしては読めません。</source>
        <translation>This looks like JSON data, not a chat log.</translation>
    </message>
    <message>
        <source>HTML のページのようです。チャットのログとしては読めません。</source>
        <translation>This looks like an HTML page, not a chat log.</translation>
    </message>
    <message>
        <source>Telegram の書き出しですが、メッセージが一つもありませんでした。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
