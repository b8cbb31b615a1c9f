// The scenario language of shutdown-sim: what it accepts, what it refuses and on which line.
#include "platform/sim/scenario.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Scenario, ParsesCommandsWithTheirArguments) {
  Scenario s;
  ScenarioError error;
  ASSERT_TRUE(
      ParseScenario("# an evening\n"
                    "clock 2026-03-14 22:29:50\n"
                    "ini [关机设置]\n"
                    "ini 小时=22   # a comment after white space\n"
                    "start\n"
                    "type 编辑框2  3#0\n"
                    "type 编辑框5\n"
                    "advance 250ms\r\n"
                    "hotkey\n"
                    "hotkey 2s\n"
                    "advance 1d\n"
                    "answer cancel\n"
                    "   \n"
                    "dump file\n",
                    s, error))
      << error.line << ": " << error.message;
  EXPECT_EQ(s.iniLines, (std::vector<Text>{"[关机设置]", "小时=22"}));
  ASSERT_EQ(s.commands.size(), 10u);
  using C = ScenarioCommand;
  EXPECT_EQ(s.commands[0].kind, C::kClock);
  EXPECT_EQ(s.commands[0].clock.hour, 22);
  EXPECT_EQ(s.commands[0].clock.second, 50);
  EXPECT_EQ(s.commands[2].kind, C::kType);
  EXPECT_EQ(s.commands[2].control, Ctl::编辑框2);
  EXPECT_EQ(s.commands[2].text, " 3#0");  // after the one separator, verbatim; '#' inside a word is text
  EXPECT_EQ(s.commands[3].text, "");
  EXPECT_EQ(s.commands[4].duration, 250);
  EXPECT_EQ(s.commands[5].duration, 100);  // the default hold
  EXPECT_EQ(s.commands[6].duration, 2000);
  EXPECT_EQ(s.commands[7].duration, 86400000);
  EXPECT_EQ(s.commands[8].answer, BoxAnswer::kCancel);
  EXPECT_EQ(s.commands[8].line, 12);
  EXPECT_EQ(s.commands[9].kind, C::kDumpFile);
}

struct BadCase {
  const char* scenario;
  int line;
};

TEST(Scenario, RefusesMalformedLinesNamingThem) {
  const std::vector<BadCase> cases = {
      {"start\nfly away\n", 2},             // unknown command
      {"advance 10\n", 1},                  // a duration needs its unit
      {"advance 1.5s\n", 1},                // whole numbers only
      {"advance -1s\n", 1},                 //
      {"advance\n", 1},                     //
      {"hotkey 3x\n", 1},                   //
      {"start\ntype 编辑框6 1\n", 2},       // unknown edit box
      {"start\ntype 按钮1 1\n", 2},         // not an edit box
      {"start\nclick 编辑框1\n", 2},        // nothing to click there
      {"start\nkey Tab\n", 2},              //
      {"clock 2026-02-29 10:00:00\n", 1},   // no such day
      {"clock 2026-01-01 24:00:00\n", 1},   //
      {"clock 2026-1-1 10:00:00\n", 1},     // not the fixed format
      {"clock 2026-01-01T10:00:00\n", 1},   //
      {"start\n# fine\nini 小时=22\n", 3},  // ini after start
      {"start\nstart\n", 2},                //
      {"another-copy\n", 1},                // before start
      {"start\nanswer yes\n", 2},           //
      {"start\ndump all\n", 2},             //
      {"start\nlogoff now\n", 2},           // unexpected argument
      {"advance 99999999999999ms\n", 1},    // beyond any evening
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    Scenario s;
    ScenarioError error;
    EXPECT_FALSE(ParseScenario(cases[i].scenario, s, error)) << "case " << i;
    EXPECT_EQ(error.line, cases[i].line) << "case " << i;
    EXPECT_FALSE(error.message.empty()) << "case " << i;
  }
}

TEST(Scenario, AcceptsLeapDaysAndTheLongestDuration) {
  Scenario s;
  ScenarioError error;
  EXPECT_TRUE(ParseScenario("clock 2024-02-29 23:59:59\nadvance 1000d\nadvance 86400000000ms\n", s, error))
      << error.message;
}

}  // namespace
