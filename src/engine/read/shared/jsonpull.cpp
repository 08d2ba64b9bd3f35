#include "engine/read/shared/jsonpull.h"

#include "engine/read/shared/jsonstream.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <rapidjson/error/en.h>

namespace {

using jsonstream::ChunkBytes;
using jsonstream::DeviceStream;

const QString EndedInside = QStringLiteral("The document ended inside a value.");

// An object or array read by RapidJSON straight from the device's pieces (its end is where
// RapidJSON stops), its opening bracket given back first where the tokenizer took it.
class ValueStream
{
public:
    using Ch = char;
    ValueStream(DeviceStream &in, char taken)
        : m_in(in)
        , m_taken(taken)
    {
    }
    Ch Peek() const { return m_taken ? m_taken : m_in.peekByte(); }
    Ch Take()
    {
        ++m_count;
        if (m_taken) {
            const char c = m_taken;
            m_taken = 0;
            return c;
        }
        return m_in.takeByte();
    }
    size_t Tell() const { return m_count; }
    // Only read from.
    Ch *PutBegin()
    {
        Q_ASSERT(false);
        return nullptr;
    }
    void Put(Ch) { Q_ASSERT(false); }
    void Flush() { Q_ASSERT(false); }
    size_t PutEnd(Ch *)
    {
        Q_ASSERT(false);
        return 0;
    }

private:
    DeviceStream &m_in;
    char m_taken;
    size_t m_count = 0;
};

} // namespace

struct JsonPull::State
{
    explicit State(QIODevice &device)
        : stream(device)
    {
    }
    DeviceStream stream;
    QByteArray raw; // a string's bytes as written
};

JsonPull::JsonPull(QIODevice &device)
    : m_state(std::make_unique<State>(device))
{
    reset();
}

JsonPull::~JsonPull() = default;

void JsonPull::reset()
{
    m_state->stream.reset();
    m_token = Token::End;
    m_expect = Expect::Value;
    m_stack.clear();
    m_error.clear();
}

void JsonPull::skipAssignment()
{
    DeviceStream &in = m_state->stream;
    in.skipSpace();
    const char first = in.peek();
    if (first == '{' || first == '[' || first == '"')
        return;
    // A name of a few hundred characters at most; past that the text is not such a file.
    for (int i = 0; i < 512 && !in.atEnd(); ++i) {
        if (in.take() == '=')
            return;
    }
}

void JsonPull::broken(const QString &why)
{
    m_token = Token::Error;
    if (m_state->stream.failed()) {
        m_error = m_state->stream.error();
        return;
    }
    //: A JSON text that breaks off or is damaged: where, and the reason in English.
    m_error = QCoreApplication::translate("FileError", "the JSON breaks at line %1: %2")
                  .arg(m_state->stream.lines())
                  .arg(why);
}

void JsonPull::afterValue()
{
    m_expect = m_stack.empty() ? Expect::Done : Expect::CommaOrEnd;
}

JsonPull::Token JsonPull::next()
{
    if (m_token == Token::Error)
        return m_token;
    DeviceStream &in = m_state->stream;
    for (;;) {
        in.skipSpace();
        const char c = in.peek();
        if (in.atEnd()) {
            if (m_expect == Expect::Done && !in.failed())
                return m_token = Token::End;
            broken(EndedInside);
            return m_token;
        }
        switch (m_expect) {
        case Expect::Done:
            return m_token = Token::End; // what follows the text is not read
        case Expect::Colon:
            if (c != ':')
                break;
            in.take();
            m_expect = Expect::Value;
            continue;
        case Expect::CommaOrEnd:
            if (c == ',') {
                in.take();
                m_expect = m_stack.back() == 'o' ? Expect::Key : Expect::Value;
                continue;
            }
            if ((c == '}' && m_stack.back() == 'o') || (c == ']' && m_stack.back() == 'a')) {
                in.take();
                m_stack.pop_back();
                afterValue();
                return m_token = c == '}' ? Token::EndObject : Token::EndArray;
            }
            break;
        case Expect::KeyOrEnd:
        case Expect::Key:
            if (c == '}' && m_expect == Expect::KeyOrEnd) {
                in.take();
                m_stack.pop_back();
                afterValue();
                return m_token = Token::EndObject;
            }
            if (c != '"')
                break;
            if (!readString())
                return m_token;
            m_expect = Expect::Colon;
            return m_token = Token::Key;
        case Expect::ValueOrEnd:
            if (c == ']') {
                in.take();
                m_stack.pop_back();
                afterValue();
                return m_token = Token::EndArray;
            }
            [[fallthrough]];
        case Expect::Value:
            if (c == '{' || c == '[') {
                in.take();
                m_stack.push_back(c == '{' ? 'o' : 'a');
                m_expect = c == '{' ? Expect::KeyOrEnd : Expect::ValueOrEnd;
                return m_token = c == '{' ? Token::StartObject : Token::StartArray;
            }
            if (c == '"') {
                if (!readString())
                    return m_token;
                afterValue();
                return m_token = Token::String;
            }
            if (!scalar())
                return m_token;
            afterValue();
            return m_token;
        }
        broken(QStringLiteral("Unexpected character '%1'.").arg(QLatin1Char(c)));
        return m_token;
    }
}

bool JsonPull::readString()
{
    DeviceStream &in = m_state->stream;
    QByteArray &raw = m_state->raw;
    raw.clear();
    raw.append(in.take()); // the opening quote
    bool escaped = false;
    for (;;) {
        if (in.atEnd()) {
            broken(QStringLiteral("Missing a closing quotation mark in string."));
            return false;
        }
        const char c = in.take();
        raw.append(c);
        if (c == '\\') {
            escaped = true;
            raw.append(in.take());
        } else if (c == '"') {
            break;
        }
    }
    if (!escaped) {
        m_text.assign(raw.constData() + 1, size_t(raw.size() - 2));
        return true;
    }
    rapidjson::Document doc;
    doc.Parse(raw.constData(), size_t(raw.size()));
    if (doc.HasParseError() || !doc.IsString()) {
        broken(QString::fromUtf8(rapidjson::GetParseError_En(doc.GetParseError())));
        return false;
    }
    m_text.assign(doc.GetString(), doc.GetStringLength());
    return true;
}

bool JsonPull::scalar()
{
    DeviceStream &in = m_state->stream;
    m_text.clear();
    for (;;) {
        const char c = in.peek();
        if (in.atEnd() || c == ',' || c == '}' || c == ']' || c == ' ' || c == '\n' || c == '\r'
            || c == '\t')
            break;
        m_text.push_back(in.take());
    }
    if (m_text == "true" || m_text == "false") {
        m_bool = m_text == "true";
        m_token = Token::Bool;
        return true;
    }
    if (m_text == "null") {
        m_token = Token::Null;
        return true;
    }
    bool ok = false;
    const double number = QByteArrayView(m_text.data(), qsizetype(m_text.size())).toDouble(&ok);
    Q_UNUSED(number); // only whether it is one
    if (!ok) {
        broken(QStringLiteral("Invalid value."));
        return false;
    }
    m_token = Token::Number;
    return true;
}

bool JsonPull::skip()
{
    int depth = 0;
    Token t = m_token;
    if (t == Token::Key)
        t = next();
    if (t == Token::StartObject || t == Token::StartArray) {
        // The rest of the value by the quick scan; what it holds is not looked at.
        if (!m_state->stream.scanContainer()) {
            broken(EndedInside);
            return false;
        }
        m_token = m_stack.back() == 'o' ? Token::EndObject : Token::EndArray;
        m_stack.pop_back();
        afterValue();
        return true;
    }
    for (;;) {
        switch (t) {
        case Token::StartObject:
        case Token::StartArray:
            ++depth;
            break;
        case Token::EndObject:
        case Token::EndArray:
            --depth;
            break;
        case Token::Error:
            return false;
        case Token::End:
            broken(EndedInside);
            return false;
        default:
            break;
        }
        if (depth <= 0)
            return true;
        t = next();
    }
}

bool JsonPull::take(rapidjson::Document &into)
{
    char taken = 0; // the opening bracket the tokenizer took
    if (m_token == Token::StartObject)
        taken = '{';
    else if (m_token == Token::StartArray)
        taken = '[';
    else if (m_token != Token::Key)
        return false;
    DeviceStream &in = m_state->stream;
    if (m_token == Token::Key) { // the colon is no part of the value
        in.skipSpace();
        if (in.peek() != ':') {
            next(); // says what is wrong
            if (m_token != Token::Error)
                broken(QStringLiteral("Missing a colon after a name of object member."));
            return false;
        }
        in.take();
        m_expect = Expect::Value;
        in.skipSpace();
        const char c = in.peek();
        if (c != '{' && c != '[') { // a string or a scalar: one token, kept aside and parsed
            QByteArray value;
            in.capture = &value;
            const Token t = next();
            in.capture = nullptr;
            if (t == Token::Error || t == Token::End) {
                if (m_token != Token::Error)
                    broken(EndedInside);
                return false;
            }
            into.Parse(value.constData(), size_t(value.size()));
            return parsed(into);
        }
    }
    // An object or an array, read by RapidJSON to its end: from memory where the piece read
    // holds all of it (most values: they are small), else byte by byte from the device; a
    // broken one is read the slow way too, which tells where it broke.
    // One that runs past the piece is tried once more with the next piece read after it.
    const qint64 back = taken ? 1 : 0;
    for (bool again = true;; again = false) {
        const char *start = in.piece(back);
        if (!start || (taken && *start != taken))
            break;
        rapidjson::StringStream bytes(start);
        into.ParseStream<rapidjson::kParseStopWhenDoneFlag>(bytes);
        if (!into.HasParseError()) {
            in.pass(qint64(bytes.Tell()) - back);
            if (taken)
                m_stack.pop_back();
            m_token = into.IsObject() ? Token::EndObject : Token::EndArray;
            afterValue();
            return true;
        }
        if (!again || qint64(into.GetErrorOffset()) < in.left() + back || !in.extend(back))
            break;
    }
    ValueStream value(in, taken);
    into.ParseStream<rapidjson::kParseStopWhenDoneFlag>(value);
    if (!parsed(into))
        return false;
    if (taken) // its start was a token, its end is one
        m_stack.pop_back();
    m_token = into.IsObject() ? Token::EndObject : Token::EndArray;
    afterValue();
    return true;
}

std::string_view JsonPull::ahead() const
{
    const DeviceStream &in = m_state->stream;
    const char bracket = m_token == Token::StartObject ? '{' : '[';
    if (m_token != Token::StartObject && m_token != Token::StartArray)
        return {};
    const char *start = in.piece(1);
    if (!start || *start != bracket)
        return {};
    return {start, size_t(in.left() + 1)};
}

void JsonPull::pass(qint64 bytes)
{
    const bool object = m_token == Token::StartObject;
    m_state->stream.pass(bytes - 1); // its opening bracket was taken
    m_stack.pop_back();
    m_token = object ? Token::EndObject : Token::EndArray;
    afterValue();
}

bool JsonPull::parsed(const rapidjson::Document &doc)
{
    if (!doc.HasParseError())
        return true;
    DeviceStream &in = m_state->stream;
    if (in.failed() || in.ended()) { // the device failed, or the text ended inside the value
        broken(EndedInside);
        return false;
    }
    m_token = Token::Error;
    m_error = QCoreApplication::translate("FileError", "the JSON breaks at line %1: %2")
                  .arg(in.lines())
                  .arg(QString::fromUtf8(rapidjson::GetParseError_En(doc.GetParseError())));
    return false;
}

bool JsonPull::seekKey(std::string_view name)
{
    for (;;) {
        const Token t = next();
        if (t != Token::Key)
            return false;
        if (m_text == name)
            return true;
        if (!skip())
            return false;
    }
}

JsonPull::Mark JsonPull::mark() const
{
    return {offset(), line(), m_stack, int(m_expect), m_token};
}

bool JsonPull::resume(const Mark &mark)
{
    if (!m_state->stream.resumeAt(mark.offset, mark.line)) {
        broken(QStringLiteral("The text ended before the place read from."));
        return false;
    }
    m_stack = mark.stack;
    m_expect = Expect(mark.expect);
    m_token = mark.token;
    m_error.clear();
    return true;
}

qint64 JsonPull::offset() const
{
    return m_state->stream.offset();
}

qint64 JsonPull::line() const
{
    return m_state->stream.lines();
}
