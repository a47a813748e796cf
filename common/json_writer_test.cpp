#include "common/json_writer.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

TEST(JsonString, EscapesWhatTheGrammarRequiresAndNothingElse) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "\"plain\""},
        {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"},
        {"a\r\nb\tc", R"("a\r\nb\tc")"},
        {std::string("\0\x1F\x7F", 3), "\"\\u0000\\u001f\x7F\""},
        {"/ \xC3\xA9 \xF0\x9F\x98\x80", "\"/ \xC3\xA9 \xF0\x9F\x98\x80\""},
        {"bad \xE9 \xC0\xAF \xED\xA0\x80 \xF0\x9F",
         "\"bad \xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD "
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const auto& [text, json] : cases) EXPECT_EQ(JsonString(text), json) << json;
}

TEST(JsonWriter, SeparatesMembersAndNestsAsCalled) {
    JsonWriter json;
    json.BeginObject().Key("n").Number(-3).Key("list").BeginArray();
    json.BeginObject().Key("ok").Bool(true).EndObject().Null().String("x").BeginArray().EndArray();
    json.EndArray().Key("empty").BeginObject().EndObject().EndObject();
    EXPECT_EQ(json.Text(), R"({"n":-3,"list":[{"ok":true},null,"x",[]],"empty":{}})");
}

}  // namespace
}  // namespace pelmar
