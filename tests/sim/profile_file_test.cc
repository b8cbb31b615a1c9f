// The profile-file format of the simulated platform: what GetPrivateProfileStringA reads and how
// WritePrivateProfileStringA edits a file.
#include "platform/sim/profile_file.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ReadCase {
  const char* content;
  const char* section;
  const char* key;
  std::optional<Text> expected;
};

TEST(ProfileFile, ReadsAsTheProfileFunctionsDo) {
  const std::vector<ReadCase> cases = {
      {"[s]\r\nk=v\r\n", "s", "k", "v"},
      {"[s]\r\nk=v\r\n", "t", "k", std::nullopt},                     // no such section
      {"[s]\r\nk=v\r\n", "s", "x", std::nullopt},                     // no such key
      {"[Section1]\r\nName1=val1\r\n", "SECTION1", "nAME1", "val1"},  // names without case
      {"[s]\r\nk=1\r\nk=2\r\n", "s", "k", "1"},                       // the first duplicate key wins
      {"[s]\r\na=1\r\n[s]\r\nb=2\r\n", "s", "b", std::nullopt},       // only the first section counts
      {"[s]\r\n[t]\r\nk=v\r\n", "s", "k", std::nullopt},              // keys of the next section are not its
      {"[s]\r\nk=\"val2\"\r\n", "s", "k", "val2"},                    // matching quotes are stripped
      {"[s]\r\nk='v'\r\n", "s", "k", "v"},
      {"[s]\r\nk=\"v'\r\n", "s", "k", "\"v'"},  // quotes that do not match stay
      {"[s]\r\nk=\"\r\n", "s", "k", "\""},
      {"[s]\r\n  k  =  v w  \r\n", "s", "k", "v w"},  // white space around name and value
      {"[s]\r\nk=v\r\n", " s ", " k ", "v"},          // and around the names asked for
      {"[s]\r\nk=\r\n", "s", "k", ""},
      {"[s]\r\nk\r\n", "s", "k", std::nullopt},  // a line without '=' has no value
      {"[s]\nk=v\n", "s", "k", "v"},             // LF line ends
      {"[s]\rk=v\r", "s", "k", "v"},             // CR line ends
      {"[s]\r\nk=v", "s", "k", "v"},             // no line end at the end
      {"[关机设置]\r\n小时=22\r\n分钟=30\r\n", "关机设置", "分钟", "30"},
      {"k=v\r\n[s]\r\n", "s", "k", std::nullopt},  // lines before the first section belong to none
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const ReadCase& c = cases[i];
    EXPECT_EQ(ReadProfileValue(c.content, c.section, c.key, 10240), c.expected) << "case " << i;
  }
}

TEST(ProfileFile, CutsLongValuesToTheBuffer) {
  const Text longValue(20000, 'a');
  const std::optional<Text> read = ReadProfileValue("[s]\r\nk=" + longValue + "\r\n", "s", "k", 10240);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->size(), 10239u);
  // Three bytes of room take one two-byte character, not one and a half.
  EXPECT_EQ(ReadProfileValue("[s]\r\nk=中文\r\n", "s", "k", 4), Text("中"));
  EXPECT_EQ(ReadProfileValue("[s]\r\nk=中文\r\n", "s", "k", 5), Text("中文"));
}

struct WriteCase {
  const char* before;
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

TEST(ProfileFile, WritesInPlace) {
  const std::vector<WriteCase> cases = {
      // A new file holds the section and the key.
      {"", "App", "key", "string", "[App]\r\nkey=string\r\n"},
      // An empty value is written as key=.
      {"", "App", "key", "", "[App]\r\nkey=\r\n"},
      // A new key goes at the end of its section.
      {"[App1]\r\nkey1=string1\r\n[App2]\r\nkey4=string4\r\n", "App1", "key2", "string2",
       "[App1]\r\nkey1=string1\r\nkey2=string2\r\n[App2]\r\nkey4=string4\r\n"},
      // A new section goes at the end of the file.
      {"[App1]\r\nkey1=string1\r\n", "App3", "key5", "string5",
       "[App1]\r\nkey1=string1\r\n[App3]\r\nkey5=string5\r\n"},
      // A changed value rewrites that line only; comments, blank lines and spacing elsewhere stay.
      {"; top\r\n[s]\r\na = 1\r\n\r\nk=old\r\n[t]\r\nx=y\r\n", "s", "k", "new",
       "; top\r\n[s]\r\na = 1\r\n\r\nk=new\r\n[t]\r\nx=y\r\n"},
      // The same value changes nothing, not even the spacing.
      {"[s]\r\n k = v \r\n", "s", "k", "v", "[s]\r\n k = v \r\n"},
      // Names match without case; the file keeps its own spelling.
      {"[SECT]\r\nKey=1\r\n", "sect", "key", "2", "[SECT]\r\nKey=2\r\n"},
      // The first of two equal keys is the one written.
      {"[s]\r\nk=1\r\nk=2\r\n", "s", "k", "3", "[s]\r\nk=3\r\nk=2\r\n"},
      // A key goes before the blank line that parts the sections.
      {"[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", "a", "z", "3", "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n"},
      // A file without a final line end gets one before what is added.
      {"[s]\r\na=1", "s", "b", "2", "[s]\r\na=1\r\nb=2\r\n"},
      {"[s]\r\na=1", "t", "b", "2", "[s]\r\na=1\r\n[t]\r\nb=2\r\n"},
      // A key line without '=' is given its value.
      {"[s]\r\nk\r\n", "s", "k", "v", "[s]\r\nk=v\r\n"},
      // The value's leading white space is dropped.
      {"", "s", "k", "  22", "[s]\r\nk=22\r\n"},
      // LF-only files keep their line ends; the new line is CR LF.
      {"[s]\na=1\n", "s", "b", "2", "[s]\na=1\nb=2\r\n"},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const WriteCase& c = cases[i];
    Text content = c.before;
    WriteProfileValue(content, c.section, c.key, c.value);
    EXPECT_EQ(content, c.after) << "case " << i;
  }
}

TEST(ProfileFile, SavedSettingsReadBack) {
  Text file;
  const char* keys[] = {"小时", "分钟", "等待秒数", "关机有效间隔", "下次提醒间隔"};
  const char* values[] = {"22", "30", "30", "120", ""};
  for (int i = 0; i < 5; ++i) WriteProfileValue(file, "关机设置", keys[i], values[i]);
  EXPECT_EQ(file, "[关机设置]\r\n小时=22\r\n分钟=30\r\n等待秒数=30\r\n关机有效间隔=120\r\n下次提醒间隔=\r\n");
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(ReadProfileValue(file, "关机设置", keys[i], 10240), Text(values[i])) << i;
}

}  // namespace
