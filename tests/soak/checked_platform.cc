#include "tests/soak/checked_platform.h"

#include <algorithm>
#include <cstdio>

#include "platform/sim/scenario.h"

namespace soak {

namespace {

constexpr Ctl kFieldControls[5] = {Ctl::编辑框1, Ctl::编辑框2, Ctl::编辑框3, Ctl::编辑框4, Ctl::编辑框5};

// A text as printable ASCII: other bytes as \xNN, long texts cut with their length.
std::string Printable(const Text& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size() && i < 48; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  out += "\"";
  if (text.size() > 48) out += "... (" + std::to_string(text.size()) + " bytes)";
  return out;
}

std::string Describe(const Fields& fields) {
  std::string out;
  const char* names[5] = {"hour", "minute", "wait", "span", "snooze"};
  for (int i = 0; i < 5; ++i) out += std::string(i ? ", " : "") + names[i] + " " + Printable(fields[i]);
  return out;
}

bool IsShutdownQuestion(const std::optional<Text>& title) { return title && *title == "关机"; }

}  // namespace

CheckedPlatform::CheckedPlatform(SimWorld& world, SimProcess& sim, Counts& counts,
                                 std::function<void(const std::string&)> fail)
    : world_(world), sim_(sim), counts_(counts), fail_(std::move(fail)) {}

Fields CheckedPlatform::CurrentFields() const {
  Fields fields;
  for (int i = 0; i < 5; ++i) fields[i] = sim_.ControlText(kFieldControls[i]).value_or(Text());
  return fields;
}

int CheckedPlatform::SecondOfDay() const {
  const CivilTime t = world_.LocalTime();
  return t.hour * 3600 + t.minute * 60 + t.second;
}

void CheckedPlatform::Check(bool ok, const std::string& what) {
  if (ok) return;
  char clock[32];
  const CivilTime t = world_.LocalTime();
  std::snprintf(clock, sizeof clock, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  fail_(what + "\n  clock " + clock + ", fields " + Describe(CurrentFields()));
}

void CheckedPlatform::CheckNoFatal() {
  const auto& records = world_.Records();
  for (; recordsSeen_ < records.size(); ++recordsSeen_) {
    const Text& text = records[recordsSeen_].text;
    Check(text.find("fatal") == Text::npos, "the platform recorded a fatal call: " + text);
  }
}

Fields CheckedPlatform::LoadedFrom(const Fields& before) const {
  return AfterLoad(before,
                   [&](const char* key) { return sim_.ReadProfileText(kSimSettingsPath, kSection, key); });
}

void CheckedPlatform::Call() {
  if (afterOk_ && sim_.Running()) {
    afterOk_ = false;
    Check(false, "OK in the shutdown question was not followed at once by the power-off request");
  }
  afterOk_ = false;
}

void CheckedPlatform::CheckOverdue() {
  if (!sim_.Running() || !sim_.WindowLoaded()) return;
  if (snoozing_ && snoozeMinutes_ <= 100000) {
    // The snooze timer ticks a minute apart and re-arms the check on every tick once the span has run
    // out; allow two ticks for an activation that stopped the check again at once.
    const int64_t resumeAt = cancelledAt_ + std::max<int64_t>(snoozeMinutes_, 0) * 60000;
    if (world_.Now() > resumeAt + 121000) {
      Check(lastCheckAt_ >= resumeAt - 1000, "the schedule was not checked again after the snooze ran out");
      snoozing_ = false;
    }
  }
  if (openQuestions_ == 0 || questionPoweredOff_) return;
  // The count starts at the waiting time (at least one tick) and falls once a second; allow two more.
  const int64_t due = questionOpenedAt_ + (std::max<int64_t>(questionWait_, 1) + 2) * 1000;
  Check(world_.Now() <= due, "the shutdown question outlived its waiting time without a power-off request");
}

// ---- Window services

Text CheckedPlatform::ReadText(Ctl control) {
  Call();
  return sim_.ReadText(control);
}

Text CheckedPlatform::ReadTag(Ctl control) {
  Call();
  return sim_.ReadTag(control);
}

void CheckedPlatform::WriteText(Ctl editBox, const Text& text) {
  Call();
  sim_.WriteText(editBox, text);
}

void CheckedPlatform::WritePeriod(Ctl timer, int32_t milliseconds) {
  Call();
  sim_.WritePeriod(timer, milliseconds);
}

bool CheckedPlatform::IsVisible() {
  Call();
  return sim_.IsVisible();
}

void CheckedPlatform::SetVisible(bool visible) {
  Call();
  sim_.SetVisible(visible);
}

void CheckedPlatform::RequestWindowDestroy() {
  Call();
  sim_.RequestWindowDestroy();
}

bool CheckedPlatform::LoadWindow(const FormSpec& form, WindowEvents& events) {
  Call();
  program_ = &events;
  return sim_.LoadWindow(form, *this);
}

void CheckedPlatform::RunMessageLoop() {
  Call();
  sim_.RunMessageLoop();
}

// ---- System services

int32_t CheckedPlatform::ShowMessageBox(const Text& text, int32_t style, const std::optional<Text>& title) {
  Call();
  if (!IsShutdownQuestion(title) || !sim_.Running()) {
    ++counts_.otherBoxes;
    return sim_.ShowMessageBox(text, style, title);
  }
  Check(openQuestions_ == 0, "a second shutdown question opened while one was open");
  const Verdict verdict = ShutdownOffered(CurrentFields(), SecondOfDay());
  Check(verdict.mayOffer, "a shutdown question opened outside the interval the fields describe");
  ++openQuestions_;
  ++counts_.questions;
  questionOpenedAt_ = world_.Now();
  questionWait_ = reference::TruncateToInt32(reference::Number(CurrentFields()[kWait]));
  questionPoweredOff_ = false;
  snoozing_ = false;
  const int32_t answer = sim_.ShowMessageBox(text, style, title);
  --openQuestions_;
  afterOk_ = answer == kBoxOk && sim_.Running();
  if (answer != kBoxOk && sim_.Running()) {
    snoozing_ = true;
    cancelledAt_ = world_.Now();
    snoozeMinutes_ = reference::TruncateToInt32(reference::Number(CurrentFields()[kSnooze]));
  }
  return answer;
}

bool CheckedPlatform::ShutDownSystem(int32_t kind, bool force) {
  const bool allowed = openQuestions_ > 0 || afterOk_;
  afterOk_ = false;
  if (!sim_.Running()) return sim_.ShutDownSystem(kind, force);
  Check(allowed, "power-off requested with no shutdown question open and not right after OK in one");
  Check(kind == 1 && force, "power-off requested other than forced");
  ++counts_.powerOffs;
  questionPoweredOff_ = true;
  const bool done = sim_.ShutDownSystem(kind, force);
  if (!done) ++counts_.failedPowerOffs;
  return done;
}

void CheckedPlatform::OpenWebAddress(const Text& address) {
  Call();
  sim_.OpenWebAddress(address);
}

Text CheckedPlatform::GetRunDirectory() {
  Call();
  return sim_.GetRunDirectory();
}

Text CheckedPlatform::ReadProfileText(const Text& file, const Text& section, const Text& key) {
  Call();
  return sim_.ReadProfileText(file, section, key);
}

bool CheckedPlatform::WriteProfileText(const Text& file, const Text& section, const Text& key,
                                       const Text& value) {
  Call();
  if (sim_.Running()) {
    Check(saving_, "the settings file was written outside a save");
    Check(writes_ < 5 && key == kKeys[static_cast<size_t>(writes_)] && section == kSection,
          "a save wrote keys other than the five, in their order");
    const auto field = static_cast<FieldIndex>(writes_);
    Check(value == CurrentFields()[field],
          "a save wrote other than what the field held: " + Printable(value));
    if (field == kHour || field == kMinute) {
      Check(!ReachesClampLimit(field, value),
            "a save wrote an unclamped hour or minute: " + Printable(value));
    }
    written_[field] = value;
    ++writes_;
  }
  const bool done = sim_.WriteProfileText(file, section, key, value);
  if (!done) ++failedWrites_;
  return done;
}

CivilTime CheckedPlatform::LocalTime() {
  Call();
  return sim_.LocalTime();
}

int32_t CheckedPlatform::AsyncKeyState(int32_t virtualKey) {
  Call();
  return sim_.AsyncKeyState(virtualKey);
}

uintptr_t CheckedPlatform::SetThreadTimer(int32_t period, std::function<void()> routine) {
  Call();
  return sim_.SetThreadTimer(period, std::move(routine));
}

void CheckedPlatform::KillThreadTimer(uintptr_t id) {
  Call();
  sim_.KillThreadTimer(id);
}

WindowHandle CheckedPlatform::FirstTopLevelWindow() {
  Call();
  return sim_.FirstTopLevelWindow();
}

WindowHandle CheckedPlatform::NextTopLevelWindow(WindowHandle window) {
  Call();
  return sim_.NextTopLevelWindow(window);
}

Text CheckedPlatform::WindowClassName(WindowHandle window) {
  Call();
  return sim_.WindowClassName(window);
}

Text CheckedPlatform::WindowTitle(WindowHandle window) {
  Call();
  return sim_.WindowTitle(window);
}

void CheckedPlatform::EndProgram(int32_t exitCode) {
  Call();
  sim_.EndProgram(exitCode);
}

void CheckedPlatform::SetExitAction(std::function<void()> routine) {
  Call();
  sim_.SetExitAction(std::move(routine));
}

// ---- Window events

void CheckedPlatform::Created() {
  const Fields before = CurrentFields();
  program_->Created();
  CheckNoFatal();
  if (!sim_.Running() || !sim_.WindowLoaded()) return;
  ++counts_.loads;
  Check(CurrentFields() == LoadedFrom(before), "the fields after start-up differ from the settings file");
}

void CheckedPlatform::Activated() {
  program_->Activated();
  CheckNoFatal();
}

void CheckedPlatform::Hidden() {
  program_->Hidden();
  CheckNoFatal();
}

bool CheckedPlatform::CloseQuery() {
  const bool result = program_->CloseQuery();
  CheckNoFatal();
  return result;
}

void CheckedPlatform::Destroyed() {
  program_->Destroyed();
  CheckNoFatal();
}

void CheckedPlatform::Clicked(Ctl button) {
  if (button != Ctl::按钮1) {
    program_->Clicked(button);
    CheckNoFatal();
    return;
  }
  Check(!saving_, "a save began inside another");
  saving_ = true;
  writes_ = failedWrites_ = 0;
  program_->Clicked(button);
  saving_ = false;
  CheckNoFatal();
  if (!sim_.Running() || !sim_.WindowLoaded()) return;
  Check(writes_ == 5, "a save wrote " + std::to_string(writes_) + " keys, not 5");
  ++counts_.saves;
  if (failedWrites_ > 0) {
    ++counts_.failedSaves;
    Check(CurrentFields() == written_, "a failed save changed the fields");
    return;
  }
  Check(CurrentFields() == LoadedFrom(written_), "the fields after a save differ from the settings file");
  Check(!sim_.Visible(), "the window is visible after a save");
  Check(sim_.Period(Ctl::时钟1) > 0, "the schedule check is not armed after a save");
}

std::optional<bool> CheckedPlatform::LeftButtonDown(Ctl control, int x, int y, int keyFlags) {
  const std::optional<bool> result = program_->LeftButtonDown(control, x, y, keyFlags);
  CheckNoFatal();
  return result;
}

void CheckedPlatform::Tick(Ctl timer) {
  if (timer != Ctl::时钟1) {
    program_->Tick(timer);
    CheckNoFatal();
    return;
  }
  // A check of the schedule inside the interval, with no question open, must open one.
  const Verdict verdict = ShutdownOffered(CurrentFields(), SecondOfDay());
  const bool mustAsk = verdict.mayOffer && verdict.Certain() && openQuestions_ == 0;
  const int64_t questionsBefore = counts_.questions;
  ++counts_.scheduleChecks;
  lastCheckAt_ = world_.Now();
  counts_.checksInside += mustAsk;
  counts_.checksAmbiguous += !verdict.Certain();
  program_->Tick(timer);
  CheckNoFatal();
  if (mustAsk)
    Check(counts_.questions > questionsBefore, "a schedule check inside the interval asked nothing");
}

}  // namespace soak
