<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en">
<context>
    <name>Batch</name>
    <message>
        <source>The settings file does not exist; converting with the default settings.</source>
        <translation>設定ファイルがありません。既定の設定で変換します。</translation>
    </message>
    <message>
        <source>The prefix &quot;%1&quot; in the settings file is refused; &quot;%2&quot; is used.</source>
        <translation>設定ファイルの設定文字「%1」は使えないので、「%2」を使います。</translation>
    </message>
    <message>
        <source>A log&apos;s extension must be one of %1.</source>
        <translation>ログの拡張子は %1 のどれかにして下さい。</translation>
    </message>
    <message>
        <source>Could not read the settings file (%1); no log is converted.</source>
        <translation>設定ファイルを読み込めませんでした（%1）。ログは変換しません。</translation>
    </message>
    <message>
        <source>not converted: its output would replace that of %1.</source>
        <translation>変換しませんでした。出力が %1 の出力と同じ名前になります。</translation>
    </message>
    <message>
        <source>Could not make the output folder (%1); no log is converted.</source>
        <translation>出力フォルダを作れませんでした（%1）。ログは変換しません。</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>標準入力</translation>
    </message>
    <message>
        <source>standard output</source>
        <translation>標準出力</translation>
    </message>
    <message>
        <source>could not be written (%1).</source>
        <translation>書き出せませんでした（%1）。</translation>
    </message>
    <message>
        <source>Standard input is closed.</source>
        <translation>標準入力が閉じています。</translation>
    </message>
    <message>
        <source>Standard output is closed.</source>
        <translation>標準出力が閉じています。</translation>
    </message>
    <message>
        <source>No log in this folder or its subfolders.</source>
        <translation>このフォルダにもサブフォルダにもログがありません。</translation>
    </message>
    <message>
        <source>No log in this folder (-r reads its subfolders too).</source>
        <translation>このフォルダにはログがありません（-r を付ければサブフォルダも読みます）。</translation>
    </message>
    <message>
        <source>No such file or folder.</source>
        <translation>そのようなファイルもフォルダもありません。</translation>
    </message>
    <message>
        <source>could not be copied into the temporary folder %1 (%2).</source>
        <translation>一時フォルダ %1 にコピーできませんでした（%2）。</translation>
    </message>
    <message>
        <source>its copy in the temporary folder %1</source>
        <translation>一時フォルダ %1 の中の出力</translation>
    </message>
    <message>
        <source>No chat and no log in this export.</source>
        <translation>この書き出しにはチャットもログもありません。</translation>
    </message>
</context>
<context>
    <name>BatchHost</name>
    <message>
        <source>could not be read (%1).</source>
        <translation>読み込めませんでした（%1）。</translation>
    </message>
    <message>
        <source>(%1)</source>
        <translation>（%1）</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n log(s) written</source>
        <translation>
            <numerusform>%n 件中 %1 件を書き出しました</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 with BOM</source>
        <translation>%1 BOM 付き</translation>
    </message>
    <message>
        <source>none</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>(%1, %2, line ends %3)</source>
        <translation>(%1, %2, 改行 %3)</translation>
    </message>
    <message>
        <source>(%1, line ends %2)</source>
        <translation>(%1, 改行 %2)</translation>
    </message>
    <message>
        <source>written in UTF-8 with a byte order mark: Shift-JIS lacks some of its characters.</source>
        <translation>Shift-JIS にない文字があるので、BOM 付きの UTF-8 で書き出しました。</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>--settings needs a FILE</source>
        <translation>--settings には FILE が要ります。</translation>
    </message>
    <message>
        <source>unknown option: %1</source>
        <translation>知らないオプションです: %1</translation>
    </message>
    <message>
        <source>--text and --html exclude each other</source>
        <translation>--text と --html は同時に使えません。</translation>
    </message>
    <message>
        <source>--text and --html need --batch</source>
        <translation>--text と --html は --batch と一緒に使います。</translation>
    </message>
    <message>
        <source>--batch needs at least one LOG</source>
        <translation>--batch には LOG が一つ以上要ります。</translation>
    </message>
    <message>
        <source>with --batch: write indented text, whatever the settings say</source>
        <translation>--batch と一緒に: 設定にかかわらず、字下げしたテキストを
書き出します</translation>
    </message>
    <message>
        <source>with --batch: write HTML pages, whatever the settings say</source>
        <translation>--batch と一緒に: 設定にかかわらず HTML ページを書き出します</translation>
    </message>
    <message>
        <source>use FILE as the settings file (see &quot;Settings file&quot;)</source>
        <translation>FILE を設定ファイルとして使います（「設定ファイル」を参照）</translation>
    </message>
    <message>
        <source>show this text and exit</source>
        <translation>この説明を表示して終わります</translation>
    </message>
    <message>
        <source>show the version and exit</source>
        <translation>バージョンを表示して終わります</translation>
    </message>
    <message>
        <source>what follows is a LOG even if it starts with &quot;-&quot;</source>
        <translation>これより後ろは「-」で始まっていても LOG として扱います</translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation>使い方:</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>オプション:</translation>
    </message>
    <message>
        <source>Copyright (c) the Pelorin authors.
MIT License: free to use, change and pass on, without warranty.</source>
        <translation>著作権 (c) Pelorin の作者たち。
MIT ライセンス: 自由に使い、変え、配ることができます。無保証です。</translation>
    </message>
    <message>
        <source>Try &apos;pelorin --help&apos; for more information.</source>
        <translation>詳しくは「pelorin --help」で見られます。</translation>
    </message>
    <message>
        <source>no display is available; --batch converts logs without one.</source>
        <translation>ディスプレイがありません。--batch を付ければディスプレイなしで変換できます。</translation>
    </message>
    <message>
        <source>%1 needs --batch</source>
        <translation>%1 は --batch と一緒に使います。</translation>
    </message>
    <message>
        <source>--output-dir needs a DIR</source>
        <translation>--output-dir には DIR が要ります。</translation>
    </message>
    <message>
        <source>standard input (&quot;-&quot;) must be the only LOG</source>
        <translation>標準入力（「-」）を使うときは、ほかの LOG は渡せません。</translation>
    </message>
    <message>
        <source>reading standard input (&quot;-&quot;) needs --text or --html</source>
        <translation>標準入力（「-」）から読むには --text か --html が要ります。</translation>
    </message>
    <message>
        <source>--output-dir does not go with standard input (&quot;-&quot;)</source>
        <translation>--output-dir は標準入力（「-」）とは一緒に使えません。</translation>
    </message>
    <message>
        <source>--merge does not go with standard input (&quot;-&quot;)</source>
        <translation>--merge は標準入力（「-」）とは一緒に使えません。</translation>
    </message>
    <message>
        <source>with --batch: make every output safe to share, whatever the
settings say: each speaker becomes 人物A, 人物B, … (a name
keeps its letter through the run and its index pages), and
phone numbers, e-mail addresses, postal codes, street
addresses and URL query strings are masked, in the pages,
texts, search data and file names; a redacted page says so
at its top</source>
        <translation>--batch と一緒に: 設定によらず、どの出力も人に見せられる形に
します。発言者は 人物A、人物B… になり（同じ名前は一度の
変換とその一覧ページを通して同じ文字）、電話番号、メール
アドレス、郵便番号、住所、URL のクエリを、ページ、テキスト、
検索のデータ、ファイル名のどこでも伏せ字にします。伏せ字に
したページはそのことを先頭に書きます</translation>
    </message>
    <message>
        <source>with --batch: the LOGs are exports of one chat (any format,
saved at different times): write them as one output named
after the first with &quot;_merged&quot;, in time order, a message
that several of them hold once, and a notice where none of
them covers some days</source>
        <translation>--batch と一緒に: LOG はどれも同じチャットを別々の時に
書き出したもの（形式は問いません）として、一つの出力に
まとめます。名前は最初の LOG の名前に「_merged」を付けた
もの。発言は時刻の順に並べ、いくつもの LOG にある同じ発言は
一度だけ書き、どの LOG にもない日々はそうと書きます</translation>
    </message>
    <message>
        <source>with --batch: print only errors</source>
        <translation>--batch と一緒に: エラーだけを表示します</translation>
    </message>
    <message>
        <source>--page needs %1</source>
        <translation>--page には %1 を付けて下さい。</translation>
    </message>
    <message>
        <source> or </source>
        <translation> か </translation>
    </message>
    <message>
        <source>--encoding takes auto, sjis, utf-8 or utf-16, not &quot;%1&quot;</source>
        <translation>--encoding には auto, sjis, utf-8, utf-16 のどれかを指定して下さい（&quot;%1&quot; ではなく）。</translation>
    </message>
    <message>
        <source>Logs it reads:</source>
        <translation>読めるログ:</translation>
    </message>
    <message>
        <source>  Text logs (*.txt) in Shift-JIS, UTF-8 or UTF-16, with any line ends: each
  utterance starts with a header line, the speaker&apos;s name and the header text
  of the settings (by default &quot;の発言：&quot;):</source>
        <translation>  テキストのログ（*.txt）。Shift-JIS、UTF-8、UTF-16 のどれでもよく、改行も
  何でもかまいません。発言ごとに見出しの行（発言者の名前と、設定の「発言の
  ヘッダ」。既定は「の発言：」）で始まります:</translation>
    </message>
    <message>
        <source>--index and --no-index exclude each other</source>
        <translation>--index と --no-index は同時に使えません。</translation>
    </message>
    <message>
        <source>with --batch: read text logs as WORD, whatever the settings
say: auto (detected per log), sjis, utf-8 or utf-16</source>
        <translation>--batch と一緒に: 設定にかかわらず、テキストのログを
WORD で読みます。WORD は auto（ログごとに判定）、
sjis、utf-8、utf-16 のどれかです</translation>
    </message>
    <message>
        <source>with --batch: write pages in STYLE, whatever the settings
say; STYLE is one of:</source>
        <translation>--batch と一緒に: 設定にかかわらず、STYLE の形のページを
書き出します。STYLE は次のどれかです:</translation>
    </message>
    <message>
        <source>the page as it always was</source>
        <translation>今までどおりのページ</translation>
    </message>
    <message>
        <source>for today&apos;s browsers and phones: UTF-8, a light
and a dark theme, search and speaker filters, a
calendar of its days, statistics and where it
came from at its end; a speaker met again in a
later log keeps its earlier colour</source>
        <translation>今のブラウザとスマートフォン向け: UTF-8、明るい
テーマと暗いテーマ、検索と発言者の絞り込み、
日のカレンダー、統計、終わりに出典。前のログに
出た発言者は、後のログでも同じ色になります</translation>
    </message>
    <message>
        <source>with --batch: make index pages, whatever the settings say:
after the run, every folder that received pages gets one
(the prefix and &quot;index.htm&quot;) listing them; a later run
keeps the entries of pages that are still there</source>
        <translation>--batch と一緒に: 設定にかかわらず、一覧ページを作ります。
変換のあと、ページを書き出した各フォルダに、それらを
並べた一覧ページ（設定の文字と「index.htm」）ができます。
あとの変換でも、まだあるページの行は残ります</translation>
    </message>
    <message>
        <source>with --batch: make no index page, whatever the settings say</source>
        <translation>--batch と一緒に: 設定にかかわらず、一覧ページを作りません</translation>
    </message>
    <message>
        <source>with --batch: write the outputs into DIR (made if missing)
under their usual names; the logs of a FOLDER&apos;s subfolders
go into the same subfolders of DIR</source>
        <translation>--batch と一緒に: 出力をいつもの名前で DIR に書き出します
（なければ作ります）。FOLDER の下のフォルダにあるログの
出力は、DIR の同じ名前のフォルダに入ります</translation>
    </message>
    <message>
        <source>with --batch: convert the logs in every folder below a
FOLDER too</source>
        <translation>--batch と一緒に: FOLDER の下のすべてのフォルダのログも
変換します</translation>
    </message>
    <message>
        <source>Settings file:
  Without --settings, &quot;基本設定よ.ini&quot; beside the program is used when it
  already exists there (a portable copy). Otherwise the one in your
  configuration folder, $XDG_CONFIG_HOME/pelorin/ (by default
  ~/.config/pelorin/), created on the first save.</source>
        <translation>設定ファイル:
  --settings がないときは、プログラムと同じフォルダに「基本設定よ.ini」が
  既にあればそれを使います（持ち運び用）。なければ設定フォルダ
  $XDG_CONFIG_HOME/pelorin/（既定は ~/.config/pelorin/）のものを使い、
  最初の保存で作ります。</translation>
    </message>
    <message>
        <source>  The XML histories of MSN Messenger / Windows Messenger (*.xml); their indented
  text is Shift-JIS, or UTF-8 with a byte order mark when Shift-JIS lacks one
  of their characters:</source>
        <translation>  MSN Messenger / Windows Messenger の XML の履歴（*.xml）です。字下げした
  テキストは Shift-JIS で書き出しますが、Shift-JIS にない文字があるときは
  BOM 付きの UTF-8 で書き出します:</translation>
    </message>
    <message>
        <source>  LINE talk-history exports (*.txt) from a phone or the desktop app, in any
  display language, with or without their title line: time, TAB, sender, TAB,
  text; the indented text of an export is written in UTF-8:</source>
        <translation>  LINE のトーク履歴（*.txt）。スマートフォンでも PC 版でも、表示言語が何でも、
  一行目の見出しがなくても読めます。行は時刻、TAB、送信者、TAB、本文です。
  字下げしたテキストは UTF-8 で書き出します:</translation>
    </message>
    <message>
        <source>Folders and standard input, with --batch:
  A FOLDER given as LOG converts the logs directly in it, with -r also those in
  every folder below it; links to folders inside it are not followed, and names
  starting with &quot;.&quot; are left out. A file named like the output of a log beside
  it (the prefix and the log&apos;s name: chat.txt gives _chat.txt) is left out as
  well, so converting a folder again converts only its logs.
  &quot;-&quot; as the only LOG reads the log from standard input (an XML history when it
  starts with &quot;&lt;?xml&quot;) and writes its output to standard output, where nothing
  else goes; it needs --text or --html. Messages name it &quot;standard input&quot;.
  The log is first copied into the temporary folder ($TMPDIR, by default /tmp),
  which needs room for it and its output; nothing is left there when the run
  is interrupted.</source>
        <translation>フォルダと標準入力（--batch のとき）:
  LOG にフォルダ（FOLDER）を渡すと、そのフォルダにじかに入っているログを
  変換します。-r を付けると、その下のすべてのフォルダのログも変換します。
  中にあるフォルダへのリンクはたどらず、「.」で始まる名前は飛ばします。
  隣にあるログの出力と同じ名前（設定の文字とログの名前。chat.txt なら
  _chat.txt）のファイルも飛ばすので、同じフォルダをもう一度変換しても、
  変換するのはログだけです。
  LOG に「-」だけを渡すと、ログを標準入力から読み（「&lt;?xml」で始まれば XML
  の履歴として）、出力を標準出力に書き出します。標準出力にはほかに何も
  書きません。--text か --html が要ります。メッセージでは「標準入力」と
  呼びます。ログはいったん一時フォルダ（$TMPDIR、既定は /tmp）に写すので、
  ログとその出力の分の空きが要ります。途中で止めても何も残りません。</translation>
    </message>
    <message>
        <source>--timezone needs a time zone such as Asia/Tokyo, not &quot;%1&quot;</source>
        <translation>--timezone には Asia/Tokyo のようなタイムゾーンを指定して下さい（&quot;%1&quot; ではなく）。</translation>
    </message>
    <message>
        <source>--names needs a FILE</source>
        <translation>--names には FILE が要ります。</translation>
    </message>
    <message>
        <source>convert the LOGs without any window; needs no display. The
settings file is read, never written. What the window would
say in a message box is printed to standard error as
&quot;LOG: message&quot;. A log without speakers is skipped, and a
LOG that is no log or export listed below is refused.
When standard error is a terminal, the progress is shown on
one line, and a last line tells how many logs were written.
In an HTML conversion every speaker keeps the colour the
palette and the message rules give it.</source>
        <translation>ウィンドウを使わずに LOG を変換します。ディスプレイは
要りません。設定ファイルは読むだけで、書き換えません。
ウィンドウならメッセージボックスで伝えることを、
標準エラー出力に「LOG: メッセージ」の形で書きます。
発言者のいないログは飛ばし、下に挙げたログや書き出しの
どれでもない LOG は受け付けません。標準エラー
出力が端末のときは、進み具合を一行で見せ、最後の行で
書き出したログの数を伝えます。HTML への変換では、
どの発言者も、パレットとメッセージルールが決める
色のままです</translation>
    </message>
    <message>
        <source>with --batch: show the times that chat exports give in UTC
in ZONE (such as Asia/Tokyo), not in the zone of the settings
(the system&apos;s unless the window&apos;s 時刻帯 menu chose one)</source>
        <translation>--batch と一緒に: チャットの書き出しが UTC で書く時刻を、
設定の時刻帯（ウィンドウの「時刻帯」メニューで選ばなければ
システムのもの）でなく ZONE（Asia/Tokyo など）で表示します</translation>
    </message>
    <message>
        <source>with --batch: names for the people an export gives only as
ids: one &quot;id TAB name&quot; a line, in UTF-8 (&quot;#&quot; starts a
comment)</source>
        <translation>--batch と一緒に: 書き出しが ID でしか書かない人の名前を
FILE から読みます。一行に「ID、TAB、名前」を UTF-8 で
書きます（「#」で始まる行は注釈）</translation>
    </message>
    <message>
        <source>  Other chat apps&apos; exports, as downloaded (a ZIP or TAR is read in place) or
  extracted; every chat in one becomes a page of its own. Where the app makes
  them:
    Telegram Desktop: Settings &gt; Advanced &gt; Export Telegram data, or a chat&apos;s
      menu &gt; Export chat history, as JSON (result.json)
    Discord: the common exporter&apos;s JSON, or Settings &gt; Data &amp; Privacy &gt;
      Request all of my data (the ZIP, its folder, or a channel&apos;s
      messages/c…/messages.json or .csv)
    Skype: Export your Skype data, conversations (the .tar, messages.json)
    Instagram, Messenger: Accounts Center &gt; Download your information, as JSON
      (the ZIP, its folder, or a thread&apos;s message_1.json)
    WhatsApp: a chat&apos;s menu &gt; Export chat (&quot;WhatsApp Chat with ….txt&quot;, or
      the iPhone&apos;s ZIP holding _chat.txt)
    KakaoTalk: a chat&apos;s menu &gt; Export chat (phone) or Save chat (PC), *.txt
    Slack: Workspace settings &gt; Import/Export Data &gt; Export (the ZIP or folder)
    X: Settings &gt; Your account &gt; Download an archive of your data (the ZIP,
      its folder, or data/direct-messages.js)
</source>
        <translation>  ほかのチャットアプリの書き出し。ダウンロードしたまま（ZIP や TAR は展開
  せずに読みます）でも、展開したフォルダでもかまいません。一つの書き出しに
  あるチャットは、それぞれ別のページになります。アプリで作る場所:
    Telegram Desktop: 設定 &gt; 詳細設定 &gt; Telegram データをエクスポート、
      またはチャットのメニュー &gt; チャット履歴をエクスポート、JSON で
      （result.json）
    Discord: よく使われるエクスポーターの JSON、または設定 &gt; データと
      プライバシー &gt; データをすべてリクエスト（ZIP、そのフォルダ、または
      チャンネルの messages/c…/messages.json か .csv）
    Skype: Skype のデータをエクスポート、会話（.tar、messages.json）
    Instagram、Messenger: アカウントセンター &gt; 個人の情報をダウンロード、
      JSON で（ZIP、そのフォルダ、スレッドの message_1.json）
    WhatsApp: チャットのメニュー &gt; トークをエクスポート（「WhatsApp Chat
      with ….txt」、iPhone では _chat.txt の入った ZIP）
    KakaoTalk: チャットのメニュー &gt; 대화 내보내기（スマートフォン）、
      または 대화 저장（PC）、*.txt
    Slack: ワークスペースの設定 &gt; データのインポート／エクスポート &gt;
      エクスポート（ZIP かそのフォルダ）
    X: 設定 &gt; アカウント &gt; データのアーカイブをダウンロード（ZIP、その
      フォルダ、data/direct-messages.js）
</translation>
    </message>
    <message>
        <source>  The indented text of an export is UTF-8 with a byte order mark and CR LF;
  replies, attachments and reactions are short lines of their message.
</source>
        <translation>  書き出しの字下げしたテキストは、BOM 付きの UTF-8 と CR LF で書き出します。
  返信、添付、リアクションは、そのメッセージの短い行になります。
</translation>
    </message>
    <message>
        <source>Pelorin turns chat logs (text logs *.txt, LINE talk-history exports, the
messenger&apos;s *.xml histories, and the exports of other chat apps) into an
indented text file or a coloured HTML page, written next to each log under its
name with the configured prefix (by default &quot;_&quot;): chat.txt gives _chat.txt or
_chat.htm, and the chat Ann of talks.zip gives _talks_Ann.htm.

Without --batch the window opens. LOG arguments start a conversion with the
saved settings that ends the program without showing the window.

The saved settings decide what no option names: the output kind, the page
style, the index page, the encoding, the prefix, the colours. The window
changes them; --batch only reads them, and its options below override them
for that run alone.</source>
        <translation>Pelorin は、チャットのログ（テキストのログ *.txt、LINE のトーク履歴、
メッセンジャーの XML の履歴 *.xml、ほかのチャットアプリの書き出し）を、
字下げしたテキストか、発言者ごとに色分けした HTML ページに変換します。
出力は各ログと同じフォルダに、ログの名前の前に設定の文字（既定は「_」）を
付けた名前で書き出します。chat.txt からは _chat.txt か _chat.htm が、
talks.zip のチャット Ann からは _talks_Ann.htm ができます。

--batch を付けなければウィンドウが開きます。LOG を渡すと、保存されている
設定で変換し、ウィンドウを見せずに終わります。

オプションで決めないこと（出力のタイプ、ページの形、一覧ページ、文字コード、
設定の文字、色）は、保存されている設定で決まります。設定はウィンドウで
変えられます。--batch は設定を読むだけで、下のオプションはその回だけ設定
より優先します。</translation>
    </message>
    <message>
        <source>--verify needs a PAGE</source>
        <translation>--verify には PAGE が要ります</translation>
    </message>
    <message>
        <source>--verify and --batch exclude each other</source>
        <translation>--verify と --batch は一緒に使えません</translation>
    </message>
    <message>
        <source>with --batch: end classic pages and indented texts too with
where they came from: each source&apos;s name, size and SHA-256,
the program, the time zone shown and when it was converted
(modern pages always end so, and their messages&apos; links name
their line or record id in the source)</source>
        <translation>--batch と一緒に: クラシックのページと字下げしたテキストの
終わりにも出典を記します: 元のファイルの名前、大きさ、
SHA-256、変換したプログラム、表示の時間帯、変換日時
（モダンのページはいつも記し、発言のリンクには元の
ファイルの行番号か記録の ID を添えます）</translation>
    </message>
    <message>
        <source>check whether the files PAGE names at its end are still the
ones it was made of: each is hashed again, where the page
says (from its folder), or at the LOGs given after PAGE, in
the page&apos;s order; prints same, changed or missing for each</source>
        <translation>PAGE が終わりに記すファイルが、作ったときのままかを
確かめます: それぞれをもう一度ハッシュします。ファイルは
ページが記す場所（ページのフォルダから）か、PAGE の後に
ページの順で渡した LOG です。ファイルごとに「同じです」
「変わっています」「見つかりません」と表示します</translation>
    </message>
    <message>
        <source>Exit status:
  0    every log was written (and for the window: it closed normally);
       --verify: every source is the same
  1    --batch: a log, an index page or a page&apos;s search data was not written;
       --verify: a source changed or is missing
  2    usage error: an unknown option, an option without its value or without
       --batch, an unknown --encoding WORD or --page STYLE, both --text and
       --html, or both --index and --no-index, --batch without a LOG, or &quot;-&quot;
       with another LOG, without --text or --html, or with --output-dir;
       --batch: the settings file exists but cannot be read, or the output
       folder cannot be made (nothing is converted);
       the window was asked for but no display is available
  3    --verify: the page cannot be read, or does not say what it was made of
  141  --batch with &quot;-&quot;: the reader of standard output stopped reading (as
       &quot;| head&quot; does); the run ends without a message, by the signal SIGPIPE,
       as any filter does, and the shell reports 141</source>
        <translation>終了ステータス:
  0    すべてのログを書き出しました（ウィンドウでは: 普通に閉じました）。
       --verify: どのファイルも同じです
  1    --batch: 書き出せなかったログ、一覧ページ、検索のデータがあります。
       --verify: 変わったか見つからないファイルがあります
  2    使い方の誤りです: 知らないオプション、値のないオプション、--batch の
       ない --batch 用のオプション、知らない --encoding の WORD や --page の
       STYLE、--text と --html の両方、--index と --no-index の両方、LOG の
       ない --batch、ほかの LOG や --output-dir と一緒の「-」、--text も
       --html もない「-」。
       --batch: 設定ファイルはあるのに読み込めないか、出力フォルダを作れません
       （何も変換しません）。
       ウィンドウを開こうとしましたが、ディスプレイがありません
  3    --verify: ページを読めないか、ページに出典が記されていません
  141  --batch で「-」のとき: 標準出力を読む側が読むのをやめました（「| head」
       のように）。メッセージを出さずに、ほかのフィルタと同じくシグナル
       SIGPIPE で終わり、シェルは 141 と伝えます</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>not a readable XML history</source>
        <translation>読める XML の履歴ではありません</translation>
    </message>
    <message>
        <source>is a symbolic link</source>
        <translation>シンボリックリンクです</translation>
    </message>
    <message>
        <source>is a folder</source>
        <translation>フォルダです</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>普通のファイルではありません</translation>
    </message>
    <message>
        <source>not a file name</source>
        <translation>ファイルの名前ではありません</translation>
    </message>
    <message>
        <source>not open</source>
        <translation>開いていません</translation>
    </message>
    <message>
        <source>the temporary file was replaced</source>
        <translation>一時ファイルがすり替えられました</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>ファイルがありません</translation>
    </message>
    <message>
        <source>not a folder</source>
        <translation>フォルダではありません</translation>
    </message>
    <message>
        <source>a page of this run has the index&apos;s name</source>
        <translation>この変換のページが一覧ページと同じ名前です</translation>
    </message>
    <message>
        <source>that is the name of the folder&apos;s index page</source>
        <translation>フォルダの一覧ページの名前です</translation>
    </message>
    <message>
        <source>an index page of this program has that name</source>
        <translation>その名前はこのプログラムの一覧ページが使っています</translation>
    </message>
    <message>
        <source>the name is taken by another file</source>
        <translation>その名前はほかのファイルが使っています</translation>
    </message>
    <message>
        <source>an odd number of bytes is no UTF-16</source>
        <translation>バイト数が奇数なので UTF-16 ではありません</translation>
    </message>
    <message>
        <source>every name for its temporary file is taken, such as </source>
        <translation>一時ファイルの名前がどれも使われています。たとえば </translation>
    </message>
    <message>
        <source>line %1: not an id, a TAB and a name</source>
        <extracomment>A line of the --names file that is not &quot;id TAB name&quot;.</extracomment>
        <translation>%1 行目が「ID、TAB、名前」の形ではありません</translation>
    </message>
    <message>
        <source>the export holds no such chat</source>
        <extracomment>A chat path (&quot;talks.zip/Ann&quot;) whose export holds no chat of that name.</extracomment>
        <translation>書き出しにそのチャットがありません</translation>
    </message>
    <message>
        <source>the JSON breaks at line %1: %2</source>
        <extracomment>A JSON text that breaks off or is damaged: where, and the reason in English.</extracomment>
        <translation>JSON が %1 行目で壊れています: %2</translation>
    </message>
    <message>
        <source>the JSON holds no list of messages</source>
        <extracomment>A JSON file that is not the export its start promised.</extracomment>
        <translation>JSON にメッセージの一覧がありません</translation>
    </message>
</context>
<context>
    <name>RunMessage</name>
    <message>
        <source>Can&apos;t load xml</source>
        <translation>XML の履歴を読み込めませんでした。</translation>
    </message>
</context>
<context>
    <name>Verify</name>
    <message>
        <source>same</source>
        <translation>同じです</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>変わっています</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>見つかりません</translation>
    </message>
    <message>
        <source>no checksum to compare</source>
        <translation>比べるハッシュがありません</translation>
    </message>
    <message>
        <source>%1: the page could not be read (%2).</source>
        <translation>%1: ページを読めませんでした（%2）。</translation>
    </message>
    <message>
        <source>%1: the page does not say which files it was made of.</source>
        <translation>%1: このページには、どのファイルから作ったかが書かれていません。</translation>
    </message>
</context>
</TS>
