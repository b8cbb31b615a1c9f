// shutdown-sim [FILE]: plays a scenario (from FILE or standard input) against the program on the
// simulated platform and prints what happened, one "HH:MM:SS.mmm EVENT ARGS" line per event.
// UTF-8 in and out; the program's texts are GBK inside. Exit code 0 when the scenario ran, 2 when it
// could not be read or is malformed (the message on standard error names the line).
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "app/program.h"
#include "platform/sim/scenario.h"

namespace {

// One iconv conversion, closed when it goes.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // False when the input is not valid in the source encoding or has no equivalent in the target.
  bool Convert(const std::string& in, std::string& out) {
    out.clear();
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string input = in;
    char* src = input.data();
    size_t srcLeft = input.size();
    char buffer[4096];
    while (srcLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      const size_t done = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, dst);
      if (done == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

std::string ToUtf8(const Text& gbk) {
  static Converter converter("UTF-8", "GBK");
  std::string utf8;
  return converter.Convert(gbk, utf8) ? utf8 : gbk;
}

bool ReadAll(std::FILE* file, std::string& text) {
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  return !std::ferror(file);
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "shutdown-sim: %s\n", message.c_str());
  return 2;
}

// One copy of the program from its start to its end, as the platform's start-up runs it.
void RunCopy(SimProcess& process) {
  Program program(process);
  process.EndProgram(program.Run());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) return Fail("usage: shutdown-sim [FILE]");
  std::string utf8;
  if (argc == 2) {
    std::FILE* file = std::fopen(argv[1], "rb");
    if (!file) return Fail(std::string("cannot open ") + argv[1]);
    const bool read = ReadAll(file, utf8);
    std::fclose(file);
    if (!read) return Fail(std::string("cannot read ") + argv[1]);
  } else if (!ReadAll(stdin, utf8)) {
    return Fail("cannot read standard input");
  }

  // Line by line, so that a line that is not UTF-8, or not writable in GBK, can be named.
  Converter toGbk("GBK", "UTF-8");
  Text gbk;
  int lineNumber = 0;
  for (size_t begin = 0; begin <= utf8.size();) {
    size_t end = utf8.find('\n', begin);
    if (end == std::string::npos) end = utf8.size();
    ++lineNumber;
    Text line;
    if (!toGbk.Convert(utf8.substr(begin, end - begin), line)) {
      return Fail("line " + std::to_string(lineNumber) + ": not UTF-8, or a character GBK does not have");
    }
    gbk += line;
    if (end < utf8.size()) gbk += '\n';
    begin = end + 1;
  }

  Scenario scenario;
  ScenarioError error;
  if (!ParseScenario(gbk, scenario, error)) {
    return Fail("line " + std::to_string(error.line) + ": " + ToUtf8(error.message));
  }
  SimWorld world;
  PlayScenario(world, scenario, RunCopy);
  for (const Text& line : FormatRecords(world)) std::printf("%s\n", ToUtf8(line).c_str());
  return 0;
}
