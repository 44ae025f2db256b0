#pragma once
// Params: the engine's typed key-value set (vectors, floats, ints, strings and arrays of them).
// Components read their configuration from one, and the settings files ("playerSettings.ini",
// "settings.ini", "lightSettings.config") are Params saved to and loaded from JSON.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <rapidjson/document.h>

#include "core/math/Vector3.h"
#include "core/math/Vector4.h"
#include "core/serialization/JsonFile.h"
#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

// The in-memory type of a value. The file numbers its types differently (see Params::ToJson).
enum class ParamType : int32_t {
    Vec3 = 0,
    Vec4 = 1,
    Float = 2,
    Int = 3,
    String = 4,
    Empty = 5,  // holds nothing
};

// One typed value: a single element (count 1) or an array (count above 1) in one owned block.
// Block layouts: Vec3 and Vec4 are runs of three or four floats, Float and Int runs of 32-bit
// values, a single String its characters plus a zero byte, and a String array `count` 32-bit
// offsets (from the start of the block) followed by the zero-terminated strings.
class ParamValue {
public:
    ParamValue() = default;
    ParamValue(const ParamValue& other);
    ParamValue(ParamValue&& other) noexcept;
    ParamValue& operator=(const ParamValue& other);
    ParamValue& operator=(ParamValue&& other) noexcept;
    ~ParamValue();

    // Each replaces whatever the value held. An array of no elements leaves the value Empty.
    void SetVec3Array(const ztmath::Vector3* values, uint32_t count);
    void SetVec4Array(const ztmath::Vector4* values, uint32_t count);
    void SetFloatArray(const float* values, uint32_t count);
    void SetIntArray(const int32_t* values, uint32_t count);
    void SetString(std::string_view text);
    void SetStringArray(const char* const* strings, uint32_t count);
    void Clear();

    ParamType GetType() const { return m_type; }
    uint32_t GetCount() const { return m_count; }
    uint32_t GetByteSize() const { return m_byteSize; }
    const void* GetData() const { return m_data; }

    bool IsVec3() const { return m_type == ParamType::Vec3; }
    bool IsVec4() const { return m_type == ParamType::Vec4; }
    bool IsFloat() const { return m_type == ParamType::Float; }
    bool IsInt() const { return m_type == ParamType::Int; }
    bool IsString() const { return m_type == ParamType::String; }
    bool IsEmpty() const { return m_type == ParamType::Empty; }
    bool IsFloatArray() const { return IsFloat() && m_count > 1; }
    bool IsIntArray() const { return IsInt() && m_count > 1; }

    // Typed reads of the first element; reading the wrong type stops the program, so callers
    // that may meet a missing or mistyped key test the type first.
    ztmath::Vector3 GetVec3() const;
    ztmath::Vector4 GetVec4() const;
    float GetFloat() const;
    int32_t GetInt() const;
    const char* GetString() const;

    // Element i of a value of that type (i below the count).
    ztmath::Vector3 GetVec3At(uint32_t i) const;
    ztmath::Vector4 GetVec4At(uint32_t i) const;
    float GetFloatAt(uint32_t i) const;
    int32_t GetIntAt(uint32_t i) const;
    const char* GetStringAt(uint32_t i) const;

private:
    // Frees the old block, then makes one of exactly `byteSize` bytes.
    void Reset(ParamType type, uint32_t count, uint32_t byteSize);
    void CopyFrom(const ParamValue& other);
    float FloatAt(uint32_t index) const;

    ParamType m_type = ParamType::Empty;
    uint8_t* m_data = nullptr;
    uint32_t m_count = 0;
    uint32_t m_byteSize = 0;
};

// What a settings file reader could not use: one line per problem, each starting with its place
// in the file ("byte 12: ...", "entry 3 (\"m_gamma\"): ...").
using ParamsProblems = std::vector<std::string>;

// A map from key to value, ordered by the keys' bytes; copying a Params copies every value.
class Params {
public:
    using Map = CountedMap<CountedString, ParamValue, std::less<>>;

    // Each inserts the key when it is absent and replaces its value, of any type, when present.
    void SetVec3(const char* key, const ztmath::Vector3& value);
    void SetVec4(const char* key, const ztmath::Vector4& value);
    void SetVec4(const char* key, float x, float y, float z, float w);
    void SetFloat(const char* key, float value);
    void SetInt(const char* key, int32_t value);
    void SetString(const char* key, const char* value);
    void SetVec3Array(const char* key, const ztmath::Vector3* values, uint32_t count);
    void SetVec4Array(const char* key, const ztmath::Vector4* values, uint32_t count);
    void SetFloatArray(const char* key, const float* values, uint32_t count);
    void SetIntArray(const char* key, const int32_t* values, uint32_t count);
    void SetStringArray(const char* key, const char* const* strings, uint32_t count);

    bool HasParam(const char* key) const;
    // Null when the key is absent.
    const ParamValue* GetParam(const char* key) const;
    ParamValue* GetParam(const char* key);

    // Writes the set as {"data":[...]} in compact JSON. The file is replaced only when the whole
    // set was written: a value that JSON cannot hold (a float that is not finite) or a failed
    // write prints "error writing out Params to File: <name>", leaves any old file untouched and
    // returns false.
    bool SaveToFile(const char* fileName) const;
    // False, with the set unchanged and nothing printed, when the file cannot be opened, is not
    // JSON, or has no "data" member. Otherwise the entries of "data" that can be read replace
    // the keys of the same name; other keys stay. When `problems` is given, it receives why a
    // file that opened could not be read, and every entry (or part of one) that was left out,
    // so that the owner of the file can say so.
    bool LoadFromFile(const char* fileName, ParamsProblems* problems = nullptr);

    // The "data" array: one object per entry, in key order. False when the writer refused a
    // value.
    bool ToJson(JsonWriter& writer) const;
    // Reads a "data" array leniently: elements it cannot use are skipped (and listed in
    // `problems` when given). False when `data` is not an array.
    bool FromJson(const rapidjson::Value& data, ParamsProblems* problems = nullptr);

    const Map& Entries() const { return m_params; }

private:
    ParamValue& Slot(std::string_view key);

    Map m_params;
};

}  // namespace ztengine
