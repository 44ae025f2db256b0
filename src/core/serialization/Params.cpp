// Params and ParamValue: the typed value blocks, the setters and readers, and the JSON form of a
// set (writing, and the lenient reading of hand-edited files).
#include "core/serialization/Params.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include <rapidjson/error/en.h>

#include "core/util/assert/AppAssert.h"

namespace ztengine {

namespace {

// The file's type numbers; they differ from ParamType.
constexpr int kFileFloat = 0;
constexpr int kFileInt = 1;
constexpr int kFileVec3 = 2;
constexpr int kFileVec4 = 3;
constexpr int kFileString = 4;


uint8_t* AllocateBlock(uint32_t bytes)
{
    return bytes == 0 ? nullptr : CountingAllocator<uint8_t>().allocate(bytes);
}

void FreeBlock(uint8_t* block, uint32_t bytes)
{
    CountingAllocator<uint8_t>().deallocate(block, bytes);
}

int FileTypeOf(ParamType type)
{
    switch (type) {
    case ParamType::Float: return kFileFloat;
    case ParamType::Int: return kFileInt;
    case ParamType::Vec3: return kFileVec3;
    case ParamType::Vec4: return kFileVec4;
    case ParamType::String: return kFileString;
    case ParamType::Empty: break;
    }
    return -1;
}

uint32_t FloatsPerElement(ParamType type)
{
    switch (type) {
    case ParamType::Vec3: return 3;
    case ParamType::Vec4: return 4;
    case ParamType::Float: return 1;
    default: return 0;
    }
}

// A number written with a fraction or an exponent, inside the float range.
bool IsFloatInRange(const rapidjson::Value& v)
{
    return v.IsDouble() && std::fabs(v.GetDouble()) <= static_cast<double>(FLT_MAX);
}

// Any number (integer or not) that a float can hold; converting a larger one would be undefined.
bool IsConvertibleToFloat(const rapidjson::Value& v)
{
    return v.IsNumber() && std::fabs(v.GetDouble()) <= static_cast<double>(FLT_MAX);
}

bool ReadInteger(const rapidjson::Value& v, int64_t& out)
{
    if (!v.IsInt64())
        return false;
    out = v.GetInt64();
    return true;
}

// Groups a flat number array into runs of `width` components. A run holding something that is
// not a usable number is dropped; a trailing partial run is ignored.
template <class Vec>
CountedVector<Vec> ReadVectorRuns(const rapidjson::Value& array, uint32_t width)
{
    CountedVector<Vec> out;
    const rapidjson::SizeType runs = array.Size() / width;
    for (rapidjson::SizeType r = 0; r < runs; ++r) {
        Vec v;
        bool usable = true;
        for (uint32_t c = 0; c < width; ++c) {
            const rapidjson::Value& e = array[r * width + c];
            if (!IsConvertibleToFloat(e)) {
                usable = false;
                break;
            }
            v[static_cast<int>(c)] = static_cast<float>(e.GetDouble());
        }
        if (usable)
            out.push_back(v);
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// ParamValue

ParamValue::ParamValue(const ParamValue& other) { CopyFrom(other); }

ParamValue::ParamValue(ParamValue&& other) noexcept
    : m_type(other.m_type), m_data(other.m_data), m_count(other.m_count),
      m_byteSize(other.m_byteSize)
{
    other.m_type = ParamType::Empty;
    other.m_data = nullptr;
    other.m_count = 0;
    other.m_byteSize = 0;
}

ParamValue& ParamValue::operator=(const ParamValue& other)
{
    if (this != &other)
        CopyFrom(other);
    return *this;
}

ParamValue& ParamValue::operator=(ParamValue&& other) noexcept
{
    if (this != &other) {
        Clear();
        std::swap(m_type, other.m_type);
        std::swap(m_data, other.m_data);
        std::swap(m_count, other.m_count);
        std::swap(m_byteSize, other.m_byteSize);
    }
    return *this;
}

ParamValue::~ParamValue() { Clear(); }

void ParamValue::Clear()
{
    FreeBlock(m_data, m_byteSize);
    m_type = ParamType::Empty;
    m_data = nullptr;
    m_count = 0;
    m_byteSize = 0;
}

void ParamValue::Reset(ParamType type, uint32_t count, uint32_t byteSize)
{
    Clear();
    m_data = AllocateBlock(byteSize);
    m_type = type;
    m_count = count;
    m_byteSize = byteSize;
}

void ParamValue::CopyFrom(const ParamValue& other)
{
    Reset(other.m_type, other.m_count, other.m_byteSize);
    if (m_byteSize > 0)
        std::memcpy(m_data, other.m_data, m_byteSize);
}

void ParamValue::SetVec3Array(const ztmath::Vector3* values, uint32_t count)
{
    if (count == 0) {
        Clear();
        return;
    }
    Reset(ParamType::Vec3, count, count * 3 * sizeof(float));
    auto* out = reinterpret_cast<float*>(m_data);
    for (uint32_t i = 0; i < count; ++i) {
        out[3 * i + 0] = values[i].x;
        out[3 * i + 1] = values[i].y;
        out[3 * i + 2] = values[i].z;
    }
}

void ParamValue::SetVec4Array(const ztmath::Vector4* values, uint32_t count)
{
    if (count == 0) {
        Clear();
        return;
    }
    Reset(ParamType::Vec4, count, count * 4 * sizeof(float));
    auto* out = reinterpret_cast<float*>(m_data);
    for (uint32_t i = 0; i < count; ++i) {
        out[4 * i + 0] = values[i].x;
        out[4 * i + 1] = values[i].y;
        out[4 * i + 2] = values[i].z;
        out[4 * i + 3] = values[i].w;
    }
}

void ParamValue::SetFloatArray(const float* values, uint32_t count)
{
    if (count == 0) {
        Clear();
        return;
    }
    Reset(ParamType::Float, count, count * sizeof(float));
    std::memcpy(m_data, values, m_byteSize);
}

void ParamValue::SetIntArray(const int32_t* values, uint32_t count)
{
    if (count == 0) {
        Clear();
        return;
    }
    Reset(ParamType::Int, count, count * sizeof(int32_t));
    std::memcpy(m_data, values, m_byteSize);
}

void ParamValue::SetString(std::string_view text)
{
    // A zero byte inside the text would end it for every reader, so it ends it here too.
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    Reset(ParamType::String, 1, static_cast<uint32_t>(text.size() + 1));
    std::memcpy(m_data, text.data(), text.size());
    m_data[text.size()] = 0;
}

void ParamValue::SetStringArray(const char* const* strings, uint32_t count)
{
    if (count == 0) {
        Clear();
        return;
    }
    // One string has the plain layout, so that GetString reads it like any single string.
    if (count == 1) {
        SetString(strings[0]);
        return;
    }
    uint32_t bytes = count * sizeof(uint32_t);
    for (uint32_t i = 0; i < count; ++i)
        bytes += static_cast<uint32_t>(std::strlen(strings[i]) + 1);
    Reset(ParamType::String, count, bytes);

    uint32_t offset = count * sizeof(uint32_t);
    for (uint32_t i = 0; i < count; ++i) {
        std::memcpy(m_data + i * sizeof(uint32_t), &offset, sizeof(uint32_t));
        const size_t length = std::strlen(strings[i]) + 1;
        std::memcpy(m_data + offset, strings[i], length);
        offset += static_cast<uint32_t>(length);
    }
}

float ParamValue::FloatAt(uint32_t index) const
{
    float f;
    std::memcpy(&f, m_data + index * sizeof(float), sizeof(float));
    return f;
}

ztmath::Vector3 ParamValue::GetVec3() const
{
    assert(IsVec3());
    return GetVec3At(0);
}

ztmath::Vector4 ParamValue::GetVec4() const
{
    assert(IsVec4());
    return GetVec4At(0);
}

float ParamValue::GetFloat() const
{
    assert(IsFloat());
    return GetFloatAt(0);
}

int32_t ParamValue::GetInt() const
{
    assert(IsInt());
    return GetIntAt(0);
}

const char* ParamValue::GetString() const
{
    assert(IsString());
    return GetStringAt(0);
}

ztmath::Vector3 ParamValue::GetVec3At(uint32_t i) const
{
    assert(IsVec3());
    assert(i < m_count);
    return {FloatAt(3 * i), FloatAt(3 * i + 1), FloatAt(3 * i + 2)};
}

ztmath::Vector4 ParamValue::GetVec4At(uint32_t i) const
{
    assert(IsVec4());
    assert(i < m_count);
    return {FloatAt(4 * i), FloatAt(4 * i + 1), FloatAt(4 * i + 2), FloatAt(4 * i + 3)};
}

float ParamValue::GetFloatAt(uint32_t i) const
{
    assert(IsFloat());
    assert(i < m_count);
    return FloatAt(i);
}

int32_t ParamValue::GetIntAt(uint32_t i) const
{
    assert(IsInt());
    assert(i < m_count);
    int32_t v;
    std::memcpy(&v, m_data + i * sizeof(int32_t), sizeof(int32_t));
    return v;
}

const char* ParamValue::GetStringAt(uint32_t i) const
{
    assert(IsString());
    assert(i < m_count);
    if (m_count == 1)
        return reinterpret_cast<const char*>(m_data);
    uint32_t offset;
    std::memcpy(&offset, m_data + i * sizeof(uint32_t), sizeof(uint32_t));
    return reinterpret_cast<const char*>(m_data + offset);
}

// ---------------------------------------------------------------------------------------------
// Params: setters and queries

ParamValue& Params::Slot(std::string_view key)
{
    auto it = m_params.find(key);
    if (it == m_params.end())
        it = m_params.emplace(CountedString(key), ParamValue()).first;
    return it->second;
}

void Params::SetVec3(const char* key, const ztmath::Vector3& value)
{
    Slot(key).SetVec3Array(&value, 1);
}

void Params::SetVec4(const char* key, const ztmath::Vector4& value)
{
    Slot(key).SetVec4Array(&value, 1);
}

void Params::SetVec4(const char* key, float x, float y, float z, float w)
{
    SetVec4(key, ztmath::Vector4(x, y, z, w));
}

void Params::SetFloat(const char* key, float value) { Slot(key).SetFloatArray(&value, 1); }

void Params::SetInt(const char* key, int32_t value) { Slot(key).SetIntArray(&value, 1); }

void Params::SetString(const char* key, const char* value) { Slot(key).SetString(value); }

void Params::SetVec3Array(const char* key, const ztmath::Vector3* values, uint32_t count)
{
    Slot(key).SetVec3Array(values, count);
}

void Params::SetVec4Array(const char* key, const ztmath::Vector4* values, uint32_t count)
{
    Slot(key).SetVec4Array(values, count);
}

void Params::SetFloatArray(const char* key, const float* values, uint32_t count)
{
    Slot(key).SetFloatArray(values, count);
}

void Params::SetIntArray(const char* key, const int32_t* values, uint32_t count)
{
    Slot(key).SetIntArray(values, count);
}

void Params::SetStringArray(const char* key, const char* const* strings, uint32_t count)
{
    Slot(key).SetStringArray(strings, count);
}

bool Params::HasParam(const char* key) const
{
    return m_params.find(std::string_view(key)) != m_params.end();
}

const ParamValue* Params::GetParam(const char* key) const
{
    auto it = m_params.find(std::string_view(key));
    return it == m_params.end() ? nullptr : &it->second;
}

ParamValue* Params::GetParam(const char* key)
{
    auto it = m_params.find(std::string_view(key));
    return it == m_params.end() ? nullptr : &it->second;
}

// ---------------------------------------------------------------------------------------------
// Params: writing

bool Params::ToJson(JsonWriter& w) const
{
    bool ok = w.StartArray();
    for (const auto& [key, value] : m_params) {
        ok = ok && w.StartObject();
        ok = ok && w.Key("__name") && w.String(key.data(), static_cast<rapidjson::SizeType>(key.size()));
        if (value.IsEmpty()) {
            ok = ok && w.Key("__type") && w.Null();
            ok = ok && w.Key("__size") && w.Null();
            ok = ok && w.Key("__data") && w.Null();
            ok = ok && w.EndObject();
            continue;
        }
        const uint32_t count = value.GetCount();
        ok = ok && w.Key("__type") && w.Int(FileTypeOf(value.GetType()));
        ok = ok && w.Key("__size") && w.Uint(count);
        ok = ok && w.Key("__data");
        switch (value.GetType()) {
        case ParamType::Float:
            if (count == 1) {
                ok = ok && w.Double(value.GetFloat());
            } else {
                ok = ok && w.StartArray();
                for (uint32_t i = 0; i < count; ++i)
                    ok = ok && w.Double(value.GetFloatAt(i));
                ok = ok && w.EndArray();
            }
            break;
        case ParamType::Int:
            if (count == 1) {
                ok = ok && w.Int(value.GetInt());
            } else {
                ok = ok && w.StartArray();
                for (uint32_t i = 0; i < count; ++i)
                    ok = ok && w.Int(value.GetIntAt(i));
                ok = ok && w.EndArray();
            }
            break;
        case ParamType::String:
            if (count == 1) {
                ok = ok && w.String(value.GetString());
            } else {
                ok = ok && w.StartArray();
                for (uint32_t i = 0; i < count; ++i)
                    ok = ok && w.String(value.GetStringAt(i));
                ok = ok && w.EndArray();
            }
            break;
        case ParamType::Vec3:
        case ParamType::Vec4: {
            // Vectors are always one flat array of their components, whatever the count.
            const uint32_t floats = count * FloatsPerElement(value.GetType());
            const auto* data = static_cast<const uint8_t*>(value.GetData());
            ok = ok && w.StartArray();
            for (uint32_t i = 0; i < floats; ++i) {
                float f;
                std::memcpy(&f, data + i * sizeof(float), sizeof(float));
                ok = ok && w.Double(f);
            }
            ok = ok && w.EndArray();
            break;
        }
        case ParamType::Empty:
            break;
        }
        ok = ok && w.EndObject();
    }
    return ok && w.EndArray();
}

bool Params::SaveToFile(const char* fileName) const
{
    // JSON has no form for infinities and NaN, and the writer would stop half-way through the
    // document: find them before anything is written.
    bool finite = true;
    for (const auto& [key, value] : m_params) {
        const uint32_t floats = value.GetCount() * FloatsPerElement(value.GetType());
        const auto* data = static_cast<const uint8_t*>(value.GetData());
        for (uint32_t i = 0; i < floats; ++i) {
            float f;
            std::memcpy(&f, data + i * sizeof(float), sizeof(float));
            if (!std::isfinite(f)) {
                std::fprintf(stderr, "Params value \"%s\" is not a finite number\n", key.c_str());
                finite = false;
                break;
            }
        }
    }

    bool ok = finite;
    JsonStringBuffer buffer;
    if (ok) {
        JsonWriter writer(buffer);
        ok = writer.StartObject() && writer.Key("data") && ToJson(writer) && writer.EndObject() &&
             writer.IsComplete();
    }
    ok = ok && ReplaceFileContents(fileName, std::string_view(buffer.GetString(), buffer.GetSize()));
    if (!ok) {
        std::printf("error writing out Params to File: %s\n", fileName);
        std::fflush(stdout);
    }
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Params: reading

bool Params::LoadFromFile(const char* fileName, ParamsProblems* problems)
{
    std::string text;
    if (!ReadWholeFile(fileName, text))
        return false;

    auto report = [problems](std::string problem) {
        if (problems != nullptr)
            problems->push_back(std::move(problem));
    };
    rapidjson::Document document;
    ParseJsonText(document, text);
    if (document.HasParseError()) {
        report("byte " + std::to_string(document.GetErrorOffset()) + ": " +
               rapidjson::GetParseError_En(document.GetParseError()));
        return false;
    }
    if (!document.IsObject()) {
        report("the file is not a JSON object");
        return false;
    }
    const rapidjson::Value::ConstMemberIterator data = std::as_const(document).FindMember("data");
    if (data == std::as_const(document).MemberEnd()) {
        report("there is no \"data\" member");
        return false;
    }
    if (!data->value.IsArray())
        report("\"data\" is not an array");
    FromJson(data->value, problems);
    return true;
}

bool Params::FromJson(const rapidjson::Value& data, ParamsProblems* problems)
{
    if (!data.IsArray())
        return false;

    rapidjson::SizeType index = 0;
    for (const rapidjson::Value& element : data.GetArray()) {
        const std::string place = "entry " + std::to_string(index++);
        auto skipped = [&](const std::string& what) {
            if (problems != nullptr)
                problems->push_back(place + ": " + what + "; the entry is not used");
        };
        if (!element.IsObject()) {
            skipped("not an object");
            continue;
        }
        const auto name = element.FindMember("__name");
        const auto type = element.FindMember("__type");
        const auto size = element.FindMember("__size");
        const auto payload = element.FindMember("__data");
        const auto end = element.MemberEnd();
        if (name == end || !name->value.IsString()) {
            skipped("\"__name\" is missing or not a string");
            continue;
        }
        if (type == end || size == end || payload == end) {
            skipped("\"__type\", \"__size\" or \"__data\" is missing");
            continue;
        }
        int64_t fileType = 0;
        int64_t count = 0;
        if (!ReadInteger(type->value, fileType) || !ReadInteger(size->value, count)) {
            skipped("\"__type\" or \"__size\" is not an integer");
            continue;
        }

        const std::string_view key(name->value.GetString(), name->value.GetStringLength());
        const std::string named = place + " (\"" + std::string(key) + "\")";
        bool used = false;
        // Elements of an array that could not be read (the rest of the array is used).
        size_t unreadElements = 0;
        const rapidjson::Value& v = payload->value;
        const bool manyWanted = count > 1 && v.IsArray();

        switch (fileType) {
        case kFileFloat:
            if (manyWanted) {
                CountedVector<float> floats;
                for (const rapidjson::Value& e : v.GetArray())
                    if (IsFloatInRange(e))
                        floats.push_back(static_cast<float>(e.GetDouble()));
                unreadElements = v.Size() - floats.size();
                if (!floats.empty()) {
                    Slot(key).SetFloatArray(floats.data(), static_cast<uint32_t>(floats.size()));
                    used = true;
                }
            } else if (IsConvertibleToFloat(v)) {
                const float f = static_cast<float>(v.GetDouble());
                Slot(key).SetFloatArray(&f, 1);
                used = true;
            }
            break;

        case kFileInt:
            if (manyWanted) {
                CountedVector<int32_t> ints;
                for (const rapidjson::Value& e : v.GetArray())
                    if (e.IsInt())
                        ints.push_back(e.GetInt());
                unreadElements = v.Size() - ints.size();
                if (!ints.empty()) {
                    Slot(key).SetIntArray(ints.data(), static_cast<uint32_t>(ints.size()));
                    used = true;
                }
            } else if (v.IsInt()) {
                const int32_t i = v.GetInt();
                Slot(key).SetIntArray(&i, 1);
                used = true;
            }
            break;

        case kFileVec3:
            if (!v.IsArray() || v.Size() < 3)
                break;
            if (count > 1) {
                const auto vectors = ReadVectorRuns<ztmath::Vector3>(v, 3);
                unreadElements = v.Size() - 3 * vectors.size();
                if (!vectors.empty()) {
                    Slot(key).SetVec3Array(vectors.data(), static_cast<uint32_t>(vectors.size()));
                    used = true;
                }
            } else if (IsFloatInRange(v[0]) && IsFloatInRange(v[1]) && IsFloatInRange(v[2])) {
                const ztmath::Vector3 vec(static_cast<float>(v[0].GetDouble()),
                                          static_cast<float>(v[1].GetDouble()),
                                          static_cast<float>(v[2].GetDouble()));
                Slot(key).SetVec3Array(&vec, 1);
                used = true;
                unreadElements = v.Size() - 3;
            }
            break;

        case kFileVec4:
            // Whatever "__size" says: every run of four makes one vector.
            if (v.IsArray() && v.Size() >= 4) {
                const auto vectors = ReadVectorRuns<ztmath::Vector4>(v, 4);
                unreadElements = v.Size() - 4 * vectors.size();
                if (!vectors.empty()) {
                    Slot(key).SetVec4Array(vectors.data(), static_cast<uint32_t>(vectors.size()));
                    used = true;
                }
            }
            break;

        case kFileString:
            if (manyWanted) {
                CountedVector<const char*> strings;
                for (const rapidjson::Value& e : v.GetArray())
                    if (e.IsString())
                        strings.push_back(e.GetString());
                unreadElements = v.Size() - strings.size();
                // A hand-edited "__size" may promise more strings than the file holds.
                const auto taken = static_cast<uint32_t>(
                    std::min<int64_t>(count, static_cast<int64_t>(strings.size())));
                if (taken > 0) {
                    Slot(key).SetStringArray(strings.data(), taken);
                    used = true;
                }
            } else if (v.IsString()) {
                Slot(key).SetString(std::string_view(v.GetString(), v.GetStringLength()));
                used = true;
            }
            break;

        default:
            if (problems != nullptr)
                problems->push_back(named + ": \"__type\" " + std::to_string(fileType) +
                                    " is not 0 to 4; the entry is not used");
            continue;
        }
        if (problems == nullptr)
            continue;
        if (!used)
            problems->push_back(named + ": \"__data\" does not hold a value of its \"__type\" " +
                                std::to_string(fileType) + "; the entry is not used");
        else if (unreadElements > 0)
            problems->push_back(named + ": " + std::to_string(unreadElements) +
                                " element(s) of \"__data\" are not of its \"__type\" " +
                                std::to_string(fileType) + " and are left out");
    }
    return true;
}

}  // namespace ztengine
