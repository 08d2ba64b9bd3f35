#include "engine/read/formats/whatsapp/whatsappwords.h"

#include "engine/read/formats/whatsapp/whatsapphead.h"
#include "engine/read/shared/scan.h"

#include <algorithm>
#include <initializer_list>

namespace whatsapp {

namespace {

const QString Photo = QStringLiteral("写真");
const QString Video = QStringLiteral("動画");
const QString Audio = QStringLiteral("音声");
const QString Sticker = QStringLiteral("スタンプ");
const QString Gif = QStringLiteral("GIF");
const QString Contact = QStringLiteral("連絡先");
const QString File = QStringLiteral("ファイル");
// A medium left out of the export that does not say what it was.
const QString Medium = QStringLiteral("メディア");

bool containsAny(QStringView text, std::initializer_list<QStringView> words)
{
    for (QStringView word : words) {
        if (text.contains(word, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// What a medium left out was, by the words of "image omitted" in the languages known; empty
// when they are not known.
QString kindOfWords(QStringView text)
{
    if (containsAny(text, {u"GIF"}))
        return Gif;
    if (containsAny(text, {u"sticker", u"ステッカー", u"スタンプ", u"스티커", u"figurinha"}))
        return Sticker;
    if (containsAny(text, {u"video", u"vídeo", u"動画", u"동영상"}))
        return Video;
    if (containsAny(text, {u"audio", u"áudio", u"音声", u"오디오"}))
        return Audio;
    if (containsAny(text, {u"contact", u"kontakt", u"contato", u"連絡先", u"연락처"}))
        return Contact;
    if (containsAny(text,
                    {u"image", u"imagen", u"imagem", u"photo", u"foto", u"bild", u"gambar",
                     u"immagine", u"画像", u"写真", u"이미지", u"사진"}))
        return Photo;
    if (containsAny(text, {u"document", u"dokument", u"ドキュメント", u"문서"}))
        return File;
    return QString();
}

QString withoutMarks(QStringView text)
{
    QString out = text.toString();
    out.remove(Lrm);
    return out.trimmed();
}

} // namespace

QString kindOfFile(QStringView name)
{
    // iPhones number the files ("00000012-PHOTO-2020-01-15-21-03-07.jpg"), Android phones
    // give them a prefix ("IMG-20200115-WA0001.jpg").
    QStringView tag = name;
    const qsizetype dash = name.indexOf(u'-');
    if (dash > 0 && std::all_of(name.begin(), name.begin() + dash, scan::isDigit))
        tag = name.sliced(dash + 1);
    static const std::pair<QStringView, const QString *> Tags[] = {
        {u"PHOTO-", &Photo}, {u"IMG-", &Photo}, {u"VIDEO-", &Video},     {u"VID-", &Video},
        {u"AUDIO-", &Audio}, {u"AUD-", &Audio}, {u"PTT-", &Audio},       {u"STICKER-", &Sticker},
        {u"STK-", &Sticker}, {u"GIF-", &Gif},   {u"CONTACT-", &Contact},
    };
    for (const auto &[prefix, kind] : Tags) {
        if (tag.startsWith(prefix))
            return *kind;
    }
    const qsizetype dot = name.lastIndexOf(u'.');
    const QStringView ext = dot < 0 ? QStringView() : name.sliced(dot + 1);
    const auto is = [ext](std::initializer_list<QStringView> exts) {
        for (QStringView e : exts) {
            if (ext.compare(e, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    if (is({u"jpg", u"jpeg", u"png", u"heic", u"webp"}))
        return Photo;
    if (is({u"mp4", u"mov", u"3gp", u"m4v"}))
        return Video;
    if (is({u"opus", u"m4a", u"mp3", u"ogg", u"aac", u"wav"}))
        return Audio;
    if (is({u"gif"}))
        return Gif;
    if (is({u"vcf"}))
        return Contact;
    return File;
}

chat::Attachment iosMedium(QStringView text)
{
    text = text.trimmed();
    chat::Attachment a;
    if (text.startsWith(u'<') && text.endsWith(u'>')) {
        // "<attached: NAME>", its first word in the phone's language.
        const QStringView inner = text.sliced(1, text.size() - 2);
        const qsizetype colon = inner.indexOf(u": ");
        if (colon > 0) {
            a.name = inner.sliced(colon + 2).toString();
            a.kind = kindOfFile(a.name);
            a.path = a.name; // beside the text in the export
            return a;
        }
    }
    a.kind = kindOfWords(text);
    if (a.kind.isEmpty()) {
        a.kind = Medium;
        a.name = withoutMarks(text); // words not known are kept as written
    }
    return a;
}

std::optional<chat::Attachment> androidMedium(QStringView text)
{
    static const QStringView Omitted[] = {
        u"<Media omitted>",    u"<Medien ausgeschlossen>",  u"<Multimedia omitido>",
        u"<Médias omis>",      u"<Mídia omitida>",          u"<Media omessi>",
        u"<Media weggelaten>", u"<Media tidak disertakan>", u"<メディアは含まれていません>",
        u"<メディアなし>",
    };
    const QStringView trimmed = text.trimmed();
    // Every word below ends in ">" or ")": most lines end otherwise.
    if (trimmed.isEmpty() || (trimmed.back() != u'>' && trimmed.back() != u')'))
        return std::nullopt;
    for (QStringView word : Omitted) {
        if (trimmed == word)
            return chat::Attachment {QString(), Medium, -1, QString()};
    }
    static const QStringView Attached[] = {
        u"(file attached)",   u"(archivo adjunto)", u"(fichier joint)",  u"(arquivo anexado)",
        u"(Datei angehängt)", u"(file allegato)",   u"(file terlampir)",
    };
    for (QStringView word : Attached) {
        if (trimmed.endsWith(word) && trimmed.size() > word.size()) {
            const QString name = withoutMarks(trimmed.chopped(word.size()));
            return chat::Attachment {name, kindOfFile(name), -1, name};
        }
    }
    return std::nullopt;
}

bool takeEditedMark(QString &line)
{
    if (!line.endsWith(u'>'))
        return false;
    const qsizetype open = line.lastIndexOf(u'<');
    if (open < 0)
        return false;
    const QStringView mark = QStringView(line).sliced(open);
    qsizetype from = open;
    if (open > 0 && line[open - 1] == Lrm) {
        // An iPhone's, in any language; "<attached: …>" is a file, not a mark.
        if (mark.contains(u": "))
            return false;
        --from;
    } else {
        static const QStringView Marks[] = {
            u"<This message was edited>",  u"<Diese Nachricht wurde bearbeitet.>",
            u"<Se editó este mensaje.>",   u"<Mensagem editada>",
            u"<Ce message a été modifié>", u"<このメッセージは編集されました>",
        };
        if (std::find(std::begin(Marks), std::end(Marks), mark) == std::end(Marks))
            return false;
    }
    if (from > 0 && line[from - 1] == u' ')
        --from;
    line.truncate(from);
    return true;
}

} // namespace whatsapp
