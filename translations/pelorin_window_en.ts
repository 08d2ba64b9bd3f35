<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
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
</context>
</TS>
