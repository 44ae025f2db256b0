// Params: the exact bytes of saved files, round trips, the lenient loader (including hand-edited
// and malformed files), and saving that never damages the file it replaces.
#include "core/serialization/Params.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestSupport.h"

using ztengine::ParamType;
using ztengine::Params;
using ztengine::ParamValue;
using ztmath::Vector3;
using ztmath::Vector4;

namespace {

using zttest::ReadBytes;

using zttest::WriteBytes;

class ParamsFile : public testing::Test {
protected:
    std::filesystem::path dir = zttest::MakeTempDir("params");
    std::filesystem::path file = dir / "settings.ini";

    std::string Save(const Params& params)
    {
        EXPECT_TRUE(params.SaveToFile(file.string().c_str()));
        return ReadBytes(file);
    }

    Params Load(const std::string& text)
    {
        WriteBytes(file, text);
        Params params;
        EXPECT_TRUE(params.LoadFromFile(file.string().c_str()));
        return params;
    }

    std::string Wrap(const std::string& entries) { return "{\"data\":[" + entries + "]}"; }
};

struct SaveCase {
    const char* name;
    std::function<void(Params&)> fill;
    std::string expected;
};

}  // namespace

// Every value is written in its exact file form, and loading that file and saving it again gives
// the same bytes.
TEST_F(ParamsFile, SavesExactBytesAndRoundTrips)
{
    const Vector3 two[2] = {{1, 2, 3}, {4, 5, 6}};
    const float floats[2] = {0.5f, 1.5f};
    const int32_t ints[3] = {1, -2, 3};
    const char* strings[2] = {"a", "bc"};

    const SaveCase cases[] = {
        {"empty", [](Params&) {}, "{\"data\":[]}"},
        {"float", [](Params& p) { p.SetFloat("radius", 1.5f); },
         Wrap(R"({"__name":"radius","__type":0,"__size":1,"__data":1.5})")},
        {"whole float", [](Params& p) { p.SetFloat("f", 600.0f); },
         Wrap(R"({"__name":"f","__type":0,"__size":1,"__data":600.0})")},
        {"float widened", [](Params& p) { p.SetFloat("f", 0.4f); },
         Wrap(R"({"__name":"f","__type":0,"__size":1,"__data":0.4000000059604645})")},
        {"zero", [](Params& p) { p.SetFloat("f", 0.0f); },
         Wrap(R"({"__name":"f","__type":0,"__size":1,"__data":0.0})")},
        {"negative zero", [](Params& p) { p.SetFloat("f", -0.0f); },
         Wrap(R"({"__name":"f","__type":0,"__size":1,"__data":-0.0})")},
        // Grisu2's digits: not always the nearest shortest string, but one that reads back.
        {"small", [](Params& p) { p.SetFloat("f", std::ldexp(1.0f, -30)); },
         Wrap(R"({"__name":"f","__type":0,"__size":1,"__data":9.313225746154786e-10})")},
        {"large", [](Params& p) { p.SetFloat("f", std::ldexp(1.0f, 80)); },
         Wrap(R"({"__name":"f","__type":0,"__size":1,"__data":1.2089258196146293e24})")},
        {"int", [](Params& p) { p.SetInt("i", -3); },
         Wrap(R"({"__name":"i","__type":1,"__size":1,"__data":-3})")},
        {"vec3 array", [&](Params& p) { p.SetVec3Array("v", two, 2); },
         Wrap(R"({"__name":"v","__type":2,"__size":2,"__data":[1.0,2.0,3.0,4.0,5.0,6.0]})")},
        {"vec3", [](Params& p) { p.SetVec3("v", {0.5f, -1.0f, 2.0f}); },
         Wrap(R"({"__name":"v","__type":2,"__size":1,"__data":[0.5,-1.0,2.0]})")},
        {"vec4", [](Params& p) { p.SetVec4("c", 1.0f, 0.5f, 0.25f, 1.0f); },
         Wrap(R"({"__name":"c","__type":3,"__size":1,"__data":[1.0,0.5,0.25,1.0]})")},
        {"float array", [&](Params& p) { p.SetFloatArray("fa", floats, 2); },
         Wrap(R"({"__name":"fa","__type":0,"__size":2,"__data":[0.5,1.5]})")},
        {"int array", [&](Params& p) { p.SetIntArray("ia", ints, 3); },
         Wrap(R"({"__name":"ia","__type":1,"__size":3,"__data":[1,-2,3]})")},
        {"string", [](Params& p) { p.SetString("s", "say \"hi\"\\\n\xC3\xA9"); },
         Wrap(R"({"__name":"s","__type":4,"__size":1,"__data":"say \"hi\"\\\n)" "\xC3\xA9\"}")},
        {"string array", [&](Params& p) { p.SetStringArray("sa", strings, 2); },
         Wrap(R"({"__name":"sa","__type":4,"__size":2,"__data":["a","bc"]})")},
        {"key byte order",
         [](Params& p) {
             p.SetInt("b", 1);
             p.SetInt("\xC3\xA9", 2);
             p.SetInt("a", 3);
             p.SetInt("_", 4);
             p.SetInt("B", 5);
         },
         Wrap(R"({"__name":"B","__type":1,"__size":1,"__data":5},)"
              R"({"__name":"_","__type":1,"__size":1,"__data":4},)"
              R"({"__name":"a","__type":1,"__size":1,"__data":3},)"
              R"({"__name":"b","__type":1,"__size":1,"__data":1},)"
              "{\"__name\":\"\xC3\xA9\",\"__type\":1,\"__size\":1,\"__data\":2}")},
        {"replaced with another type",
         [](Params& p) {
             p.SetString("k", "text");
             p.SetFloat("k", 2.0f);
         },
         Wrap(R"({"__name":"k","__type":0,"__size":1,"__data":2.0})")},
    };

    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        Params params;
        c.fill(params);
        ASSERT_EQ(Save(params), c.expected);

        Params reloaded;
        ASSERT_TRUE(reloaded.LoadFromFile(file.string().c_str()));
        EXPECT_EQ(Save(reloaded), c.expected);
    }
}

TEST_F(ParamsFile, RoundTripKeepsEveryValue)
{
    const Vector4 colours[2] = {{1, 0, 0, 0.3f}, {0, 0, 1, 0.3f}};
    const char* names[3] = {"one", "", "three"};
    Params params;
    params.SetVec4Array("colours", colours, 2);
    params.SetStringArray("names", names, 3);
    params.SetFloat("tiny", 1e-45f);  // the smallest subnormal float
    params.SetFloat("max", std::numeric_limits<float>::max());
    const float extremes[3] = {std::numeric_limits<float>::max(), 0.3f,
                               -std::numeric_limits<float>::max()};
    params.SetFloatArray("extremes", extremes, 3);
    params.SetVec3("corner", {extremes[0], extremes[1], extremes[2]});
    params.SetInt("min", std::numeric_limits<int32_t>::min());
    Save(params);

    Params loaded;
    ASSERT_TRUE(loaded.LoadFromFile(file.string().c_str()));
    const ParamValue* c = loaded.GetParam("colours");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetCount(), 2u);
    EXPECT_EQ(c->GetVec4At(1).z, 1.0f);
    EXPECT_EQ(c->GetVec4At(1).w, 0.3f);
    const ParamValue* n = loaded.GetParam("names");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->GetCount(), 3u);
    EXPECT_STREQ(n->GetString(), "one");
    EXPECT_STREQ(n->GetStringAt(1), "");
    EXPECT_STREQ(n->GetStringAt(2), "three");
    EXPECT_EQ(n->GetByteSize(), 3u * 4u + 4u + 1u + 6u);
    EXPECT_EQ(loaded.GetParam("tiny")->GetFloat(), 1e-45f);
    EXPECT_EQ(loaded.GetParam("max")->GetFloat(), std::numeric_limits<float>::max());
    EXPECT_EQ(loaded.GetParam("min")->GetInt(), std::numeric_limits<int32_t>::min());
    ASSERT_TRUE(loaded.HasParam("extremes") && loaded.HasParam("corner"));
    EXPECT_EQ(loaded.GetParam("extremes")->GetCount(), 3u);
    for (uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(loaded.GetParam("extremes")->GetFloatAt(i), extremes[i]);
    EXPECT_EQ(loaded.GetParam("corner")->GetVec3(), Vector3(extremes[0], extremes[1], extremes[2]));
}

namespace {

struct LoadCase {
    const char* name;
    std::string entries;  // the elements of "data"
    std::function<void(const Params&)> check;
};

const ParamValue& Get(const Params& p, const char* key)
{
    const ParamValue* v = p.GetParam(key);
    EXPECT_NE(v, nullptr) << key;
    static const ParamValue empty;
    return v != nullptr ? *v : empty;
}

}  // namespace

// The loader's rules for what hand-edited files may hold, and what it does with what files
// written by the game never hold: it keeps what it can use and never reads past the data.
TEST_F(ParamsFile, LoaderTakesWhatItCanUse)
{
    const LoadCase cases[] = {
        {"vec4 runs whatever the size says",
         R"({"__name":"v","__type":3,"__size":1,"__data":[1,2,3,4,5,6,7,8.5]})",
         [](const Params& p) {
             const ParamValue& v = Get(p, "v");
             EXPECT_TRUE(v.IsVec4());
             EXPECT_EQ(v.GetCount(), 2u);
             EXPECT_EQ(v.GetVec4At(1).w, 8.5f);
         }},
        {"float given as an integer", R"({"__name":"f","__type":0,"__size":1,"__data":2})",
         [](const Params& p) { EXPECT_EQ(Get(p, "f").GetFloat(), 2.0f); }},
        {"float array keeps only floating numbers",
         R"({"__name":"f","__type":0,"__size":3,"__data":[1,2.5,3]})",
         [](const Params& p) {
             EXPECT_EQ(Get(p, "f").GetCount(), 1u);
             EXPECT_EQ(Get(p, "f").GetFloat(), 2.5f);
         }},
        {"float array without a usable element",
         R"({"__name":"f","__type":0,"__size":2,"__data":[1,"x",1e39]})",
         [](const Params& p) { EXPECT_FALSE(p.HasParam("f")); }},
        {"single vec3 of integers is skipped",
         R"({"__name":"v","__type":2,"__size":1,"__data":[1,2,3]})",
         [](const Params& p) { EXPECT_FALSE(p.HasParam("v")); }},
        {"vec3 array of integers loads",
         R"({"__name":"v","__type":2,"__size":2,"__data":[1,2,3,4,5,6]})",
         [](const Params& p) {
             EXPECT_EQ(Get(p, "v").GetCount(), 2u);
             EXPECT_EQ(Get(p, "v").GetVec3At(1), Vector3(4, 5, 6));
         }},
        {"vec3 array with a partial run",
         R"({"__name":"v","__type":2,"__size":3,"__data":[1,2,3,4,5,6,7]})",
         [](const Params& p) { EXPECT_EQ(Get(p, "v").GetCount(), 2u); }},
        {"vec3 array drops a run that is not all numbers",
         R"({"__name":"v","__type":2,"__size":2,"__data":[1,2,"z",4,5,6]})",
         [](const Params& p) {
             EXPECT_EQ(Get(p, "v").GetCount(), 1u);
             EXPECT_EQ(Get(p, "v").GetVec3(), Vector3(4, 5, 6));
         }},
        {"vec3 too short", R"({"__name":"v","__type":2,"__size":1,"__data":[1.0,2.0]})",
         [](const Params& p) { EXPECT_FALSE(p.HasParam("v")); }},
        {"vec4 too short", R"({"__name":"v","__type":3,"__size":1,"__data":[1.0,2.0,3.0]})",
         [](const Params& p) { EXPECT_FALSE(p.HasParam("v")); }},
        {"vec4 not an array", R"({"__name":"v","__type":3,"__size":1,"__data":1.0})",
         [](const Params& p) { EXPECT_FALSE(p.HasParam("v")); }},
        {"int array keeps 32-bit integers",
         R"({"__name":"i","__type":1,"__size":4,"__data":[7,3000000000,2.5,-8]})",
         [](const Params& p) {
             EXPECT_EQ(Get(p, "i").GetCount(), 2u);
             EXPECT_EQ(Get(p, "i").GetIntAt(1), -8);
         }},
        {"string array shorter than its size",
         R"({"__name":"s","__type":4,"__size":5,"__data":["a",1,"b"]})",
         [](const Params& p) {
             EXPECT_EQ(Get(p, "s").GetCount(), 2u);
             EXPECT_STREQ(Get(p, "s").GetStringAt(1), "b");
         }},
        {"string array longer than its size",
         R"({"__name":"s","__type":4,"__size":2,"__data":["a","b","c"]})",
         [](const Params& p) { EXPECT_EQ(Get(p, "s").GetCount(), 2u); }},
        {"scalars of the wrong kind",
         R"({"__name":"f","__type":0,"__size":1,"__data":"1.5"},)"
         R"({"__name":"i","__type":1,"__size":1,"__data":2.5},)"
         R"({"__name":"s","__type":4,"__size":1,"__data":5},)"
         R"({"__name":"big","__type":0,"__size":1,"__data":1e39})",
         [](const Params& p) {
             EXPECT_FALSE(p.HasParam("f"));
             EXPECT_FALSE(p.HasParam("i"));
             EXPECT_FALSE(p.HasParam("s"));
             EXPECT_FALSE(p.HasParam("big"));
         }},
        {"elements that are not usable are skipped",
         R"(1,"text",null,[],{},)"
         R"({"__name":5,"__type":0,"__size":1,"__data":1.0},)"
         R"({"__name":"t","__type":"0","__size":1,"__data":1.0},)"
         R"({"__name":"u","__type":0,"__size":1.0,"__data":1.0},)"
         R"({"__name":"w","__type":0,"__size":1},)"
         R"({"__name":"x","__type":9,"__size":1,"__data":1.0},)"
         R"({"__name":"e","__type":null,"__size":null,"__data":null},)"
         R"({"__name":"ok","__type":1,"__size":1,"__data":4})",
         [](const Params& p) {
             for (const char* key : {"t", "u", "w", "x", "e"})
                 EXPECT_FALSE(p.HasParam(key)) << key;
             EXPECT_EQ(Get(p, "ok").GetInt(), 4);
         }},
        {"a repeated key ends with its later value",
         R"({"__name":"k","__type":1,"__size":1,"__data":1},)"
         R"({"__name":"k","__type":4,"__size":1,"__data":"two"})",
         [](const Params& p) { EXPECT_STREQ(Get(p, "k").GetString(), "two"); }},
    };

    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.check(Load(Wrap(c.entries)));
    }
}

TEST_F(ParamsFile, LoadKeepsOtherKeysAndReportsUnreadableFiles)
{
    Params params;
    params.SetInt("kept", 1);
    params.SetInt("replaced", 1);
    WriteBytes(file, Wrap(R"({"__name":"replaced","__type":1,"__size":1,"__data":2})"));
    ASSERT_TRUE(params.LoadFromFile(file.string().c_str()));
    EXPECT_EQ(params.GetParam("kept")->GetInt(), 1);
    EXPECT_EQ(params.GetParam("replaced")->GetInt(), 2);

    const std::string unreadable[] = {"", "not json", "[1,2]", "{\"other\":[]}",
                                      "{\"data\":[]} trailing"};
    for (const std::string& text : unreadable) {
        SCOPED_TRACE(text);
        WriteBytes(file, text);
        const std::string out = zttest::CaptureStdout(
            [&] { EXPECT_FALSE(params.LoadFromFile(file.string().c_str())); });
        EXPECT_EQ(out, "");
        EXPECT_EQ(params.GetParam("replaced")->GetInt(), 2);
    }
    EXPECT_FALSE(params.LoadFromFile((dir / "missing.ini").string().c_str()));

    // "data" that is not an array is accepted and reads nothing.
    WriteBytes(file, "{\"data\":{\"replaced\":3}}");
    EXPECT_TRUE(params.LoadFromFile(file.string().c_str()));
    EXPECT_EQ(params.GetParam("replaced")->GetInt(), 2);
}

// A value JSON cannot hold, or a file that cannot be written, leaves the old file as it was and
// is reported as a failure.
TEST_F(ParamsFile, FailedSaveKeepsTheOldFile)
{
    Params good;
    good.SetFloat("speed", 500.0f);
    const std::string before = Save(good);

    for (float bad : {std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity()}) {
        Params params;
        params.SetFloat("speed", 1.0f);
        const Vector3 v[2] = {{0, 0, 0}, {0, bad, 0}};
        params.SetVec3Array("path", v, 2);
        bool saved = true;
        const std::string out =
            zttest::CaptureStdout([&] { saved = params.SaveToFile(file.string().c_str()); });
        EXPECT_FALSE(saved);
        EXPECT_EQ(out, "error writing out Params to File: " + file.string() + "\n");
        EXPECT_EQ(ReadBytes(file), before);
    }

    const std::string nowhere = (dir / "no-such-folder" / "settings.ini").string();
    bool saved = true;
    const std::string out = zttest::CaptureStdout([&] { saved = good.SaveToFile(nowhere.c_str()); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(out, "error writing out Params to File: " + nowhere + "\n");

    // The last step fails: the target is a folder, so the finished temporary file cannot take
    // its place. The folder and what it holds stay, and the temporary file goes.
    const std::filesystem::path folder = dir / "taken";
    std::filesystem::create_directories(folder);
    WriteBytes(folder / "inside.txt", "kept");
    saved = true;
    const std::string renameOut =
        zttest::CaptureStdout([&] { saved = good.SaveToFile(folder.string().c_str()); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(renameOut, "error writing out Params to File: " + folder.string() + "\n");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(ReadBytes(folder / "inside.txt"), "kept");

    // Nothing is left beside the settings file and that folder by any attempt.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"settings.ini", "taken"}));
}

TEST(ParamValue, CopiesOwnTheirBlocksAndCountInMemoryStatistics)
{
    const auto& counters = ztengine::MemoryAllocator::Get();
    const uint32_t liveBytes = counters.liveBytes;
    {
        Params a;
        const char* words[2] = {"x", "yz"};
        a.SetStringArray("w", words, 2);
        a.SetFloat("f", 1.0f);
        EXPECT_GT(counters.liveBytes, liveBytes);

        Params b = a;
        a.SetFloat("f", 2.0f);
        a.SetInt("w", 3);
        EXPECT_EQ(b.GetParam("f")->GetFloat(), 1.0f);
        EXPECT_STREQ(b.GetParam("w")->GetStringAt(1), "yz");

        ParamValue moved = std::move(*b.GetParam("w"));
        EXPECT_TRUE(b.GetParam("w")->IsEmpty());
        EXPECT_EQ(moved.GetCount(), 2u);
    }
    EXPECT_EQ(counters.liveBytes, liveBytes);
}

TEST(ParamValueDeathTest, TypedReadOfTheWrongTypeStops)
{
    Params p;
    p.SetInt("i", 1);
    p.SetFloat("f", 1.0f);
    const ParamValue* i = p.GetParam("i");
    const ParamValue* f = p.GetParam("f");
    EXPECT_DEATH(i->GetFloat(), "IsFloat\\(\\)");
    EXPECT_DEATH(f->GetInt(), "IsInt\\(\\)");
    EXPECT_DEATH(f->GetVec3(), "IsVec3\\(\\)");
    EXPECT_DEATH(f->GetVec4(), "IsVec4\\(\\)");
    EXPECT_DEATH(f->GetString(), "IsString\\(\\)");
    EXPECT_FALSE(f->IsFloatArray());
    EXPECT_EQ(p.GetParam("absent"), nullptr);
}
