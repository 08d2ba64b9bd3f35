#include "engine/read/shared/jsonpull.h"

#include <cstring>

namespace json {

namespace {

// As FindMember() compares, with the name's length known where it is written and its first
// byte tried before the rest: every message asks for a dozen members, most of them absent.
bool named(const rapidjson::Value &key, std::string_view name)
{
    return key.GetStringLength() == name.size() && (name.empty() || key.GetString()[0] == name[0])
        && std::memcmp(key.GetString(), name.data(), name.size()) == 0;
}

} // namespace

const rapidjson::Value *member(const rapidjson::Value &object, std::string_view name)
{
    if (!object.IsObject())
        return nullptr;
    for (auto it = object.MemberBegin(); it != object.MemberEnd(); ++it) {
        if (named(it->name, name))
            return &it->value;
    }
    return nullptr;
}

const rapidjson::Value *member(const rapidjson::Value &object, std::string_view name,
                               quint32 &place)
{
    if (!object.IsObject() || object.MemberCount() == 0)
        return nullptr;
    const auto first = object.MemberBegin();
    const quint32 count = object.MemberCount();
    const quint32 from = place < count ? place : 0;
    for (quint32 i = from;;) {
        if (named(first[i].name, name)) {
            place = i;
            return &first[i].value;
        }
        if (++i == count)
            i = 0;
        if (i == from)
            return nullptr;
    }
}

namespace {

const rapidjson::Value &orNull(const rapidjson::Value *v)
{
    static const rapidjson::Value Null;
    return v ? *v : Null;
}

QString text(const rapidjson::Value *v)
{
    return v && v->IsString() ? QString::fromUtf8(v->GetString(), v->GetStringLength()) : QString();
}

} // namespace

const rapidjson::Value &at(const rapidjson::Value &object, std::string_view name)
{
    return orNull(member(object, name));
}

const rapidjson::Value &at(const rapidjson::Value &object, std::string_view name, quint32 &place)
{
    return orNull(member(object, name, place));
}

QString string(const rapidjson::Value &object, std::string_view name)
{
    return text(member(object, name));
}

QString string(const rapidjson::Value &object, std::string_view name, quint32 &place)
{
    return text(member(object, name, place));
}

qint64 integer(const rapidjson::Value &object, std::string_view name, qint64 otherwise)
{
    const rapidjson::Value *v = member(object, name);
    if (!v)
        return otherwise;
    // Numbers are kept as their text (JsonPull reads them so); some exports quote them.
    if (v->IsString()) {
        bool ok = false;
        const qint64 n = QByteArrayView(v->GetString(), v->GetStringLength()).toLongLong(&ok);
        return ok ? n : otherwise;
    }
    if (v->IsInt64())
        return v->GetInt64();
    if (v->IsNumber()) {
        // A number past what 64 bits hold is no time or size of this world.
        const double d = v->GetDouble();
        return std::isfinite(d) && std::abs(d) < 9.2e18 ? qint64(d) : otherwise;
    }
    return otherwise;
}

bool boolean(const rapidjson::Value &object, std::string_view name)
{
    const rapidjson::Value *v = member(object, name);
    return v && v->IsBool() && v->GetBool();
}

QString idText(const rapidjson::Value &value)
{
    if (value.IsString())
        return QString::fromUtf8(value.GetString(), value.GetStringLength());
    if (value.IsInt64())
        return QString::number(value.GetInt64());
    if (value.IsUint64())
        return QString::number(value.GetUint64());
    if (value.IsNumber())
        return QString::number(value.GetDouble(), 'f', 0);
    return {};
}

} // namespace json
