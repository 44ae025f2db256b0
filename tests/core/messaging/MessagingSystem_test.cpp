// MessagingSystem: reading "EventNames.txt", ids, delivery order, sends from inside handlers,
// registrations during a send, and the rules for names that are not in the file.
#include "core/MessagingSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "support/TestSupport.h"

using ztengine::IEvent;
using ztengine::MessagingSystem;

namespace {

class EventNamesFile : public testing::Test {
protected:
    std::filesystem::path dir = zttest::MakeTempDir("events");
    std::string path = (dir / "EventNames.txt").string();
    MessagingSystem messaging;

    std::string Load(const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
        return zttest::CaptureStdout([&] { messaging.LoadEventNames(path.c_str()); });
    }
};

}  // namespace

TEST_F(EventNamesFile, NameIsTheTextBeforeTheFirstBlank)
{
    const std::string out = Load("FIRST trailing words here\n\nSECOND\n");
    EXPECT_EQ(out, "Loaded event name: FIRST\nLoaded event name: SECOND\n");
    EXPECT_EQ(messaging.EventCount(), 2u);
    EXPECT_EQ(messaging.GetEventId("FIRST"), 0u);
    EXPECT_EQ(messaging.GetEventId("SECOND"), 1u);
    EXPECT_EQ(messaging.GetEventId("trailing"), MessagingSystem::kInvalidEventId);
}

TEST_F(EventNamesFile, LineEndsBlanksAndRepeats)
{
    // CR LF line ends, a repeated name, a tab that is part of a name, a line that starts with a
    // blank (the empty name), blank lines of both kinds and a last line without a line end.
    const std::string out = Load("A\r\nB\r\n\r\nA extra\r\nTAB\tNAME\n\n beginsWithBlank\nLAST");
    EXPECT_EQ(out,
              "Loaded event name: A\n"
              "Loaded event name: B\n"
              "Loaded event name: A\n"
              "Loaded event name: TAB\tNAME\n"
              "Loaded event name: \n"
              "Loaded event name: LAST\n");
    EXPECT_EQ(messaging.EventCount(), 5u);
    EXPECT_EQ(messaging.GetEventId("A"), 0u);
    EXPECT_EQ(messaging.GetEventId("B"), 1u);
    EXPECT_EQ(messaging.GetEventId("TAB\tNAME"), 2u);
    EXPECT_EQ(messaging.GetEventId(""), 3u);
    EXPECT_EQ(messaging.GetEventId("LAST"), 4u);
    EXPECT_EQ(messaging.GetEventId("A\r"), MessagingSystem::kInvalidEventId);
    EXPECT_EQ(messaging.RegisterEvent("B"), 1u);
    EXPECT_EQ(messaging.RegisterEvent("NEW"), 5u);
}

TEST_F(EventNamesFile, MissingFileRegistersNothingAndIsReportedOnStderr)
{
    const std::string missing = (dir / "missing.txt").string();
    testing::internal::CaptureStderr();
    const std::string out =
        zttest::CaptureStdout([&] { messaging.LoadEventNames(missing.c_str()); });
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "");
    // Said at once on the error stream: otherwise the first handler registration stops the
    // program without naming the cause.
    EXPECT_EQ(err, "Error loading file: " + missing + "\n");
    EXPECT_EQ(messaging.EventCount(), 0u);
}

// Every event the game sends or handles stands in the authored file, spelled as the game spells
// it, once.
TEST(EventNamesData, AuthoredFileHoldsEveryEventOnce)
{
    MessagingSystem messaging;
    const std::string path = std::string(ZT_DATA_DIR) + "/EventNames.txt";
    const std::string out = zttest::CaptureStdout([&] { messaging.LoadEventNames(path.c_str()); });
    EXPECT_EQ(messaging.EventCount(), 81u);
    for (const char* name :
         {"BARREL_DESTRUCTION", "DUNGEON_GENERTATION_STARTED", "ENTER_OVERWORLD", "EXIT_OVERWORLD",
          "HIDE_CUSTOM_CURSOR", "SHOW_CUSTOM_CURSOR", "SET_FADEIN_DEST_STATE", "PLAYER_GOT_HIT",
          "PLAY_DREV_SFX_GRELVOK_VOSK_DUNGEON", "TOWN_PORTAL", "EVENT_RESTART", "SHOW_DUNGEON"})
        EXPECT_NE(messaging.GetEventId(name), MessagingSystem::kInvalidEventId) << name;
    EXPECT_EQ(out.find("Loaded event name: BARREL_DESTRUCTION\n"), 0u);
    EXPECT_EQ(out.find('\r'), std::string::npos);
}

namespace {

class Delivery : public testing::Test {
protected:
    MessagingSystem messaging;
    std::vector<std::string> calls;

    void SetUp() override
    {
        for (const char* name : {"OUTER", "INNER", "OTHER"})
            messaging.RegisterEvent(name);
    }

    void Record(const char* name, const char* what)
    {
        messaging.RegisterHandler(name, [this, what](const IEvent&) { calls.push_back(what); });
    }
};

}  // namespace

TEST_F(Delivery, HandlersRunInRegistrationOrderWithTheSameEvent)
{
    std::vector<const IEvent*> seen;
    const int payload = 42;
    messaging.RegisterHandler("OUTER", [&](const IEvent& e) {
        seen.push_back(&e);
        EXPECT_EQ(e.m_tag, 1);
        EXPECT_EQ(e.m_data, &payload);
        calls.push_back("first");
    });
    Record("OTHER", "other");
    messaging.RegisterHandler("OUTER", [&](const IEvent& e) {
        seen.push_back(&e);
        calls.push_back("second");
    });

    const IEvent event(1, &payload);
    messaging.SendEvent(messaging.GetEventId("OUTER"), event);
    messaging.SendEventByName("OUTER", event);
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "second", "first", "second"}));
    ASSERT_EQ(seen.size(), 4u);
    for (const IEvent* e : seen)
        EXPECT_EQ(e, &event);
}

TEST_F(Delivery, EventSentFromAHandlerIsDeliveredBeforeTheOuterSendMovesOn)
{
    messaging.RegisterHandler("OUTER", [&](const IEvent&) {
        calls.push_back("outer 1");
        messaging.SendEventByName("INNER", IEvent());
    });
    Record("OUTER", "outer 2");
    Record("INNER", "inner 1");
    Record("INNER", "inner 2");

    messaging.SendEventByName("OUTER", IEvent());
    EXPECT_EQ(calls, (std::vector<std::string>{"outer 1", "inner 1", "inner 2", "outer 2"}));
}

// A handler that registers more handlers during a send: those for the same event are called in
// the same walk, and growing the pipeline past its reserved room does not pull the storage of
// the running handler (here a small closure, kept inside the handler record) from under it.
TEST_F(Delivery, HandlersRegisteredDuringASendAreSafeAndJoinTheWalk)
{
    struct Context {
        MessagingSystem* messaging;
        std::vector<std::string>* calls;
        int laterCalls = 0;
    } context{&messaging, &calls};

    Context* ctx = &context;
    messaging.RegisterHandler("OUTER", [ctx](const IEvent&) {
        for (int i = 0; i < 100; ++i)
            ctx->messaging->RegisterHandler("OUTER", [ctx](const IEvent&) { ++ctx->laterCalls; });
        ctx->calls->push_back("grower");  // reads its own capture after the pipeline grew
    });
    messaging.SendEventByName("OUTER", IEvent());
    EXPECT_EQ(calls, std::vector<std::string>{"grower"});
    EXPECT_EQ(context.laterCalls, 100);

    context.laterCalls = 0;
    messaging.SendEventByName("OUTER", IEvent());
    EXPECT_EQ(context.laterCalls, 200);
}

TEST_F(Delivery, UnknownNamesAndIdsAreIgnoredOnSend)
{
    Record("OUTER", "outer");
    messaging.SendEventByName("NOT_IN_THE_FILE", IEvent());
    messaging.SendEvent(messaging.EventCount(), IEvent());
    messaging.SendEvent(MessagingSystem::kInvalidEventId, IEvent());
    messaging.SendEvent(messaging.GetEventId("INNER"), IEvent());  // no handlers
    EXPECT_TRUE(calls.empty());
}

TEST_F(Delivery, RegisterHandlerReturnsTheIndexInThePipeline)
{
    EXPECT_EQ(messaging.RegisterHandler("OTHER", [](const IEvent&) {}), 0u);
    EXPECT_EQ(messaging.RegisterHandler("OTHER", [](const IEvent&) {}), 1u);
    EXPECT_EQ(messaging.RegisterHandler("OUTER", [](const IEvent&) {}), 0u);
}

TEST(MessagingSystemDeathTest, RegisteringForANameNotInTheFileStops)
{
    MessagingSystem messaging;
    messaging.RegisterEvent("KNOWN");
    EXPECT_DEATH(messaging.RegisterHandler("UNKNOWN", [](const IEvent&) {}),
                 "evtHandler < m_eventPipelines.size\\(\\)");
}
