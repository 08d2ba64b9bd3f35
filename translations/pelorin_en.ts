<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>Batch</name>
    <message>
        <source>The settings file does not exist; converting with the default settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The prefix &quot;%1&quot; in the settings file is refused; &quot;%2&quot; is used.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A log&apos;s extension must be one of %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not read the settings file (%1); no log is converted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not converted: its output would replace that of %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not make the output folder (%1); no log is converted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>standard input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>standard output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>could not be written (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Standard input is closed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Standard output is closed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No log in this folder or its subfolders.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No log in this folder (-r reads its subfolders too).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No such file or folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>could not be copied into the temporary folder %1 (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its copy in the temporary folder %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No chat and no log in this export.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BatchHost</name>
    <message>
        <source>could not be read (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n log(s) written</source>
        <translation>
            <numerusform>%1 of %n log written</numerusform>
            <numerusform>%1 of %n logs written</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 with BOM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(%1, %2, line ends %3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(%1, line ends %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>written in UTF-8 with a byte order mark: Shift-JIS lacks some of its characters.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>--settings needs a FILE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown option: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--text and --html exclude each other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--text and --html need --batch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--batch needs at least one LOG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: write indented text, whatever the settings say</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: write HTML pages, whatever the settings say</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>use FILE as the settings file (see &quot;Settings file&quot;)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>show this text and exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>show the version and exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>what follows is a LOG even if it starts with &quot;-&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Options:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Try &apos;pelorin --help&apos; for more information.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no display is available; --batch converts logs without one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copyright (c) the Pelorin authors.
MIT License: free to use, change and pass on, without warranty.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 needs --batch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--output-dir needs a DIR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>standard input (&quot;-&quot;) must be the only LOG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>reading standard input (&quot;-&quot;) needs --text or --html</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--output-dir does not go with standard input (&quot;-&quot;)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: print only errors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--page needs %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> or </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--encoding takes auto, sjis, utf-8 or utf-16, not &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logs it reads:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  Text logs (*.txt) in Shift-JIS, UTF-8 or UTF-16, with any line ends: each
  utterance starts with a header line, the speaker&apos;s name and the header text
  of the settings (by default &quot;の発言：&quot;):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--index and --no-index exclude each other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: read text logs as WORD, whatever the settings
say: auto (detected per log), sjis, utf-8 or utf-16</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: write pages in STYLE, whatever the settings
say; STYLE is one of:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the page as it always was</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>for today&apos;s browsers and phones: UTF-8, a light
and a dark theme, search and speaker filters; a
speaker met again in a later log keeps its
earlier colour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: make index pages, whatever the settings say:
after the run, every folder that received pages gets one
(the prefix and &quot;index.htm&quot;) listing them; a later run
keeps the entries of pages that are still there</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: make no index page, whatever the settings say</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: write the outputs into DIR (made if missing)
under their usual names; the logs of a FOLDER&apos;s subfolders
go into the same subfolders of DIR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: convert the logs in every folder below a
FOLDER too</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings file:
  Without --settings, &quot;基本設定よ.ini&quot; beside the program is used when it
  already exists there (a portable copy). Otherwise the one in your
  configuration folder, $XDG_CONFIG_HOME/pelorin/ (by default
  ~/.config/pelorin/), created on the first save.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  The XML histories of MSN Messenger / Windows Messenger (*.xml); their indented
  text is Shift-JIS, or UTF-8 with a byte order mark when Shift-JIS lacks one
  of their characters:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  LINE talk-history exports (*.txt) from a phone or the desktop app, in any
  display language, with or without their title line: time, TAB, sender, TAB,
  text; the indented text of an export is written in UTF-8:</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--timezone needs a time zone such as Asia/Tokyo, not &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--names needs a FILE</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: names for the people an export gives only as
ids: one &quot;id TAB name&quot; a line, in UTF-8 (&quot;#&quot; starts a
comment)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  The indented text of an export is UTF-8 with a byte order mark and CR LF;
  replies, attachments and reactions are short lines of their message.
</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--verify needs a PAGE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--verify and --batch exclude each other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: show the times that chat exports give in UTC
in ZONE (such as Asia/Tokyo), not in the zone of the settings
(the system&apos;s unless the window&apos;s 時刻帯 menu chose one)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: make every output safe to share, whatever the
settings say: each speaker becomes 人物A, 人物B, … (a name
keeps its letter through the run and its index pages), and
phone numbers, e-mail addresses, postal codes, street
addresses and URL query strings are masked, in the pages,
texts, search data and file names; a redacted page says so
at its top</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>with --batch: end classic pages and indented texts too with
where they came from: each source&apos;s name, size and SHA-256,
the program, the time zone shown and when it was converted
(modern pages always end so, and their messages&apos; links name
their line or record id in the source)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>check whether the files PAGE names at its end are still the
ones it was made of: each is hashed again, where the page
says (from its folder), or at the LOGs given after PAGE, in
the page&apos;s order; prints same, changed or missing for each</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>not a readable XML history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>is a symbolic link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>is a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a file name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the temporary file was replaced</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no such file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a page of this run has the index&apos;s name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>that is the name of the folder&apos;s index page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>an index page of this program has that name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the name is taken by another file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>an odd number of bytes is no UTF-16</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>every name for its temporary file is taken, such as </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line %1: not an id, a TAB and a name</source>
        <extracomment>A line of the --names file that is not &quot;id TAB name&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the export holds no such chat</source>
        <extracomment>A chat path (&quot;talks.zip/Ann&quot;) whose export holds no chat of that name.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the JSON breaks at line %1: %2</source>
        <extracomment>A JSON text that breaks off or is damaged: where, and the reason in English.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the JSON holds no list of messages</source>
        <extracomment>A JSON file that is not the export its start promised.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it could not be made</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RunMessage</name>
    <message>
        <source>Can&apos;t load xml</source>
        <translation>Could not load the XML history.</translation>
    </message>
</context>
<context>
    <name>Verify</name>
    <message>
        <source>same</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no checksum to compare</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the page could not be read (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the page does not say which files it was made of.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
