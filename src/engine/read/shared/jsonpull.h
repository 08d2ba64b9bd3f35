#pragma once

#include <QIODevice>
#include <QString>
#include <functional>
#include <memory>
#include <rapidjson/document.h>
#include <string_view>

// A JSON text read token by token from a device, never whole: an export of a gigabyte is read
// in the memory of its largest single value that the reader asks for as a whole (a message).
// The structure (objects, arrays, keys) is scanned here; each value asked for whole is parsed
// by RapidJSON straight from the file into a small document, and strings with escapes are
// decoded by it too.
class JsonPull
{
public:
    enum class Token {
        Error, // the text is broken, or the device failed (errorString())
        End, // the whole text was read
        Null,
        Bool,
        Number,
        String,
        Key, // an object member's name; its value is the next token
        StartObject,
        EndObject,
        StartArray,
        EndArray,
    };

    explicit JsonPull(QIODevice &device);
    ~JsonPull();
    JsonPull(const JsonPull &) = delete;
    JsonPull &operator=(const JsonPull &) = delete;

    // Reads from the device's current position (a byte order mark is skipped).
    void reset();
    // Before the first token: passes over a JavaScript assignment that a file writes before its
    // value ("window.data = [ … ]"); nothing when the value starts at once.
    void skipAssignment();

    Token next();
    Token token() const { return m_token; }
    // The text of a String or a Key, and the value of a Bool or a Number.
    std::string_view text() const { return m_text; }
    QString string() const { return QString::fromUtf8(m_text.data(), qsizetype(m_text.size())); }
    bool boolean() const { return m_bool; }
    // A Number as written ("1234567890123456789"), so that ids keep every digit.
    std::string_view numberText() const { return m_text; }

    // After a Key, StartObject or StartArray: passes over the value (for a start, the rest of
    // it). False when the text broke.
    bool skip();
    // After a Key: reads its value whole into `into`; at StartObject or StartArray: the rest of
    // that value. False when the text broke.
    bool take(rapidjson::Document &into);
    // After StartArray (or an item of it): each object that follows, taken whole into one
    // reused document and handed to `each`, up to the first item that is no object (the
    // array's end). False when the text broke. `each` must leave the pull alone: past the first
    // few hundred objects, the rest are parsed on a thread of their own while `each` takes the
    // ones before them.
    template<typename Each> bool eachObject(Each &&each)
    {
        return eachObject(takeObject, [&each](const rapidjson::Value &item, bool) { each(item); });
    }
    // The same, with each object read by `read` (the pull at its StartObject; the pull's take()
    // or a reader's quicker way, which leaves the pull past its end), which may flag it for
    // `each`. `read` is called on one thread at a time, but not always the same one.
    using ReadObject = std::function<bool(JsonPull &, rapidjson::Document &, bool &flag)>;
    // The plain ReadObject: the object taken whole.
    static bool takeObject(JsonPull &pull, rapidjson::Document &into, bool &)
    {
        return pull.take(into);
    }
    using EachObject = std::function<void(const rapidjson::Value &, bool flag)>;
    bool eachObject(const ReadObject &read, const EachObject &each);
    // After StartObject or StartArray: the text from its opening bracket to the end of the piece
    // read, for a reader that reads the value itself where it ends within it; empty when the
    // bracket is not in the piece. Nothing is taken.
    std::string_view ahead() const;
    // The value that ahead() showed, `bytes` long with its brackets, taken as take() takes it.
    void pass(qint64 bytes);
    // Goes on to the member `name` of the object just started, passing over the others; false
    // when the object ends without it (the token is then EndObject) or the text broke.
    bool seekKey(std::string_view name);

    // Where the reading stands between two tokens, for a pull over the same text from the same
    // place of the device to read on from there (resume()), passing over what comes before.
    struct Mark
    {
        qint64 offset = 0;
        qint64 line = 1;
        std::string stack;
        int expect = 0;
        Token token = Token::End;
    };
    Mark mark() const;
    // False, the pull broken, when the device cannot be read from there.
    bool resume(const Mark &mark);

    // Where the reading stands: bytes read from the device's start, and the line (from 1).
    qint64 offset() const;
    qint64 line() const;
    bool failed() const { return m_token == Token::Error; }
    // Why reading stopped: "line 12: Missing a comma…".
    QString errorString() const { return m_error; }

private:
    // What may come next.
    enum class Expect { Value, ValueOrEnd, Key, KeyOrEnd, Colon, CommaOrEnd, Done };

    void broken(const QString &why);
    bool scalar();
    bool readString();
    void afterValue();
    // After RapidJSON read a value: whether it read one; else the error, where it broke.
    bool parsed(const rapidjson::Document &doc);

    struct State;
    std::unique_ptr<State> m_state;
    Token m_token = Token::End;
    Expect m_expect = Expect::Value;
    std::string m_stack; // 'o' and 'a' for each open object and array
    std::string m_text;
    bool m_bool = false;
    QString m_error;
};

// Reading values that a document holds, with what a missing or mistyped member gives.
namespace json {

QString string(const rapidjson::Value &object, std::string_view name);
qint64 integer(const rapidjson::Value &object, std::string_view name, qint64 otherwise = 0);
bool boolean(const rapidjson::Value &object, std::string_view name);
const rapidjson::Value *member(const rapidjson::Value &object, std::string_view name);
// The same for objects that an export writes with their members in one order (its messages):
// looked for from `place` on (then from the start), and its place noted. With one place for a
// name, a member is found where the object before held it; with one place for an object's
// members asked for in the export's order, each is found a step or two past the one before.
const rapidjson::Value *member(const rapidjson::Value &object, std::string_view name,
                               quint32 &place);
QString string(const rapidjson::Value &object, std::string_view name, quint32 &place);
// The member, or null when the object has none.
const rapidjson::Value &at(const rapidjson::Value &object, std::string_view name);
const rapidjson::Value &at(const rapidjson::Value &object, std::string_view name, quint32 &place);
// A string or a number as text (ids are either).
QString idText(const rapidjson::Value &value);

} // namespace json
