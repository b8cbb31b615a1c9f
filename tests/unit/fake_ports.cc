#include "tests/unit/fake_ports.h"

#include <cstdio>

namespace {

const char* Name(Ctl c) {
  switch (c) {
    case Ctl::编辑框1:
      return "编辑框1";
    case Ctl::编辑框2:
      return "编辑框2";
    case Ctl::编辑框3:
      return "编辑框3";
    case Ctl::编辑框4:
      return "编辑框4";
    case Ctl::编辑框5:
      return "编辑框5";
    case Ctl::时钟1:
      return "时钟1";
    case Ctl::时钟2:
      return "时钟2";
    case Ctl::时钟3:
      return "时钟3";
    default:
      return "?";
  }
}

}  // namespace

FakePorts::FakePorts() {
  tags[Ctl::编辑框1] = "时";
  tags[Ctl::编辑框2] = "分";
  tags[Ctl::标签6] = "0秒";
  texts[Ctl::标签6] = "2000年1月1日";
  texts[Ctl::编辑框3] = "30";
  texts[Ctl::编辑框4] = "120";
  texts[Ctl::编辑框5] = "30";
}

void FakePorts::WriteText(Ctl editBox, const Text& text) {
  texts[editBox] = text;
  log.push_back(std::string("text ") + Name(editBox) + " " + text);
}

void FakePorts::WritePeriod(Ctl timer, int32_t milliseconds) {
  periods[timer] = milliseconds < 0 ? 0 : milliseconds;
  log.push_back(std::string(Name(timer)) + " " + std::to_string(milliseconds));
}

void FakePorts::SetVisible(bool v) {
  const bool was = visible;
  visible = v;
  log.push_back(v ? "show" : "hide");
  if (was && !v && onHidden) onHidden();
}

int32_t FakePorts::ShowMessageBox(const Text& text, int32_t style, const std::optional<Text>& title) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(style));
  log.push_back("box " + title.value_or("(none)") + " " + hex + " " + text);
  return answerBox(text);
}

bool FakePorts::ShutDownSystem(int32_t kind, bool force) {
  log.push_back("poweroff " + std::to_string(kind) + (force ? " forced" : ""));
  return !powerOffFails;
}

Text FakePorts::ReadProfileText(const Text& file, const Text& section, const Text& key) {
  const auto found = profile.find(file + "|" + section + "|" + key);
  return found == profile.end() ? Text() : found->second;
}

bool FakePorts::WriteProfileText(const Text& file, const Text& section, const Text& key, const Text& value) {
  log.push_back("write " + key + "=" + value);
  if (writesFail) return false;
  profile[file + "|" + section + "|" + key] = value;
  return true;
}

uintptr_t FakePorts::SetThreadTimer(int32_t period, std::function<void()> routine) {
  log.push_back("thread timer " + std::to_string(period));
  pollRoutine = std::move(routine);
  return 7;
}

std::vector<std::string> FakePorts::TakeLog() {
  std::vector<std::string> taken;
  taken.swap(log);
  return taken;
}
