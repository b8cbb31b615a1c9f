#include "platform/sim/profile_file.h"

namespace {

// White space as the profile functions see it; 0x1A is the old end-of-file mark.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1A'; }

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view Trim(std::string_view s) {
  s = TrimLeft(s);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// ASCII letters only: the bytes of double-byte characters are never folded.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// One line of the file: [begin, end) is its text, next is where the following line starts.
struct Line {
  size_t begin, end, next;
};

// Lines end at CR LF, at a lone LF or at a lone CR.
class LineReader {
 public:
  explicit LineReader(std::string_view content) : content_(content) {}
  bool Next(Line& line) {
    if (pos_ >= content_.size()) return false;
    size_t end = pos_;
    while (end < content_.size() && content_[end] != '\r' && content_[end] != '\n') ++end;
    size_t next = end;
    if (next < content_.size() && content_[next] == '\r') ++next;
    if (next < content_.size() && content_[next] == '\n' && (next == end || content_[next - 1] == '\r'))
      ++next;
    line = {pos_, end, next};
    pos_ = next;
    return true;
  }

 private:
  std::string_view content_;
  size_t pos_ = 0;
};

struct ParsedLine {
  enum Kind { kBlank, kSection, kKey } kind = kBlank;
  std::string_view name;
  std::optional<std::string_view> value;  // none when the key line has no '='
};

ParsedLine Parse(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return {};
  if (text.front() == '[') {
    const size_t close = text.rfind(']');
    if (close != std::string_view::npos)
      return {ParsedLine::kSection, text.substr(1, close - 1), std::nullopt};
  }
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) return {ParsedLine::kKey, text, std::nullopt};
  return {ParsedLine::kKey, Trim(text.substr(0, equals)), TrimLeft(text.substr(equals + 1))};
}

// Cuts to at most `most` bytes without splitting a double-byte character.
std::string_view CutToFit(std::string_view s, size_t most) {
  size_t i = 0;
  while (i < s.size()) {
    const size_t width = static_cast<unsigned char>(s[i]) >= 0x81 && i + 1 < s.size() ? 2 : 1;
    if (i + width > most) break;
    i += width;
  }
  return s.substr(0, i);
}

}  // namespace

std::optional<Text> ReadProfileValue(std::string_view content, std::string_view section, std::string_view key,
                                     size_t bufferSize) {
  section = Trim(section);
  key = Trim(key);
  LineReader reader(content);
  Line line;
  bool inSection = false;
  while (reader.Next(line)) {
    const ParsedLine parsed = Parse(content.substr(line.begin, line.end - line.begin));
    if (parsed.kind == ParsedLine::kSection) {
      if (inSection) return std::nullopt;  // only the first section of that name counts
      inSection = SameName(parsed.name, section);
    } else if (parsed.kind == ParsedLine::kKey && inSection && SameName(parsed.name, key)) {
      if (!parsed.value) return std::nullopt;
      std::string_view value = *parsed.value;
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
          value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
      }
      return Text(CutToFit(value, bufferSize == 0 ? 0 : bufferSize - 1));
    }
  }
  return std::nullopt;
}

void WriteProfileValue(Text& content, std::string_view section, std::string_view key,
                       std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  value = TrimLeft(value);
  LineReader reader(content);
  Line line;
  bool inSection = false, sectionFound = false;
  Line last{};  // the section's last non-blank line: a new key goes after it
  while (reader.Next(line)) {
    const ParsedLine parsed = Parse(std::string_view(content).substr(line.begin, line.end - line.begin));
    if (parsed.kind == ParsedLine::kSection) {
      if (inSection) break;
      inSection = !sectionFound && SameName(parsed.name, section);
      if (inSection) {
        sectionFound = true;
        last = line;
      }
    } else if (parsed.kind == ParsedLine::kKey && inSection) {
      if (SameName(parsed.name, key)) {
        if (parsed.value && *parsed.value == value) return;  // unchanged: the line stays as it is
        const Text rewritten = JoinTexts({parsed.name, "=", value});
        content.replace(line.begin, line.end - line.begin, rewritten);
        return;
      }
      last = line;
    }
  }
  const Text keyLine = JoinTexts({key, "=", value, "\r\n"});
  if (sectionFound) {
    const bool ended = last.next > last.end;
    content.insert(last.next, ended ? keyLine : "\r\n" + keyLine);
    return;
  }
  if (!content.empty() && content.back() != '\n' && content.back() != '\r') content += "\r\n";
  content += JoinTexts({"[", section, "]\r\n", keyLine});
}
