#include "platform/sim/sim_process.h"

#include <cstdio>

#include "platform/sim/profile_file.h"

namespace {

constexpr char kWindowClass[] = "SimWindow";
constexpr char kBoxClass[] = "#32770";
constexpr int32_t kSystemModal = 0x1000;  // MB_SYSTEMMODAL
constexpr int32_t kTaskModal = 0x2000;    // MB_TASKMODAL
constexpr int32_t kIdOk = 1, kIdCancel = 2;
constexpr size_t kProfileBuffer = 10240;
constexpr size_t kWindowTextBuffer = 255;

// Question-box results from what MessageBoxA returns.
int32_t MapBoxResult(int32_t id) {
  return id >= kIdOk && id <= 7 ? id - 1 : 0;  // IDOK..IDNO -> 0..6; anything else -> 0
}

Text Hex(int32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%x", static_cast<unsigned>(value));
  return buffer;
}

// Line breaks of a box text written on one line: CR LF as \n, lone CR as \r, lone LF as \n.
Text OneLine(const Text& text) {
  Text out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "\\n";
      ++i;
    } else if (text[i] == '\r') {
      out += "\\r";
    } else if (text[i] == '\n') {
      out += "\\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

// Leading bytes 0x01 to 0x20 skipped, as the profile read does for its names.
Text SkipLeadingBlanks(const Text& s) {
  size_t i = 0;
  while (i < s.size() && s[i] >= 0x01 && s[i] <= 0x20) ++i;
  return s.substr(i);
}

}  // namespace

SimProcess::SimProcess(SimWorld& world, const Text& label) : world_(world), label_(label) {}

SimProcess::~SimProcess() = default;

bool SimProcess::Running() const { return !ended_ && !world_.Stopped(); }

void SimProcess::Fatal(const char* call) {
  world_.Record(JoinTexts({label_, label_.empty() ? "" : " ", "fatal ", call}));
  ended_ = true;
  exitCode_ = 1;
  StopTimers(true);
  if (loaded_) world_.RemoveTopLevelWindow(handle_);
  loaded_ = visible_ = active_ = false;
}

SimProcess::Control* SimProcess::Find(Ctl control, const char* call) {
  if (!Running()) return nullptr;
  if (loaded_) {
    for (Control& c : controls_) {
      if (c.item->id == control) return &c;
    }
  }
  Fatal(call);
  return nullptr;
}

std::optional<Text> SimProcess::ControlText(Ctl control) const {
  for (const Control& c : controls_) {
    if (c.item->id == control) return c.text;
  }
  return std::nullopt;
}

int32_t SimProcess::Period(Ctl timer) const {
  for (const Control& c : controls_) {
    if (c.item->id == timer && c.timer) return c.timer->period;
  }
  return 0;
}

std::optional<int64_t> SimProcess::NextTick(Ctl timer) const {
  for (const Control& c : controls_) {
    if (c.item->id == timer && c.timer && c.timer->running) return c.timer->due;
  }
  return std::nullopt;
}

// ---- Window services

Text SimProcess::ReadText(Ctl control) {
  const Control* c = Find(control, "ReadText");
  return c ? c->text : Text();
}

Text SimProcess::ReadTag(Ctl control) {
  const Control* c = Find(control, "ReadTag");
  return c ? c->item->tag : Text();
}

void SimProcess::WriteText(Ctl editBox, const Text& text) {
  Control* c = Find(editBox, "WriteText");
  if (!c) return;
  if (c->timer) return Fatal("WriteText");
  c->text = text.c_str();  // a text ends at its first zero byte
}

void SimProcess::WritePeriod(Ctl timer, int32_t milliseconds) {
  Control* c = Find(timer, "WritePeriod");
  if (!c) return;
  if (!c->timer) return Fatal("WritePeriod");
  SimTimer& t = *c->timer;
  if (milliseconds < 0) milliseconds = 0;
  if (milliseconds == t.period) return;  // the rhythm is kept
  t.period = milliseconds;
  t.running = false;
  if (milliseconds > 0) world_.ArmTimer(t);
}

bool SimProcess::IsVisible() {
  if (!Running()) return false;
  if (!loaded_) Fatal("IsVisible");
  return Visible();
}

void SimProcess::SetVisible(bool visible) {
  if (!Running()) return;
  if (!loaded_) return Fatal("SetVisible");
  if (!visible) {
    if (!visible_) return;  // hiding a hidden window sends nothing
    world_.Record("hidden");
    if (CanRaise()) events_->Hidden();  // raised before the window goes, as WM_SHOWWINDOW is
    visible_ = active_ = false;
    return;
  }
  if (!visible_) {
    visible_ = true;
    world_.Record("shown");
  }
  Activate();
}

void SimProcess::Activate() {
  if (active_ || !loaded_ || !visible_ || !Running()) return;
  active_ = true;
  if (activating_) return;  // no activated event inside another
  firstActivation_ = true;  // the first-activation event is not bound
  activating_ = true;
  if (CanRaise()) events_->Activated();
  activating_ = false;
}

void SimProcess::RequestWindowDestroy() {
  if (!Running()) return;
  if (!loaded_) return Fatal("RequestWindowDestroy");
  destroyPending_ = true;
  world_.PostMessage(this);
}

void SimProcess::HandlePostedMessage() {
  if (!Running() || !loaded_ || !destroyPending_) return;
  destroyPending_ = false;
  DestroyWindow();
}

void SimProcess::DestroyWindow() {
  if (CanRaise()) events_->Destroyed();  // the controls still exist here
  // With the loop entered, the last window gone ends the loop and so the process: nothing of it ticks on.
  StopTimers(loopEntered_);
  world_.RemoveTopLevelWindow(handle_);
  loaded_ = visible_ = active_ = false;
  // All processes share one stack of loops. When another loop runs inside this process's message loop
  // (a second copy's question box), that loop cannot return for it: the process ends here, as the
  // platform ends it with code 0 once its loop has ended.
  if (loopEntered_ && world_.LoopDepth() > loopDepth_) EndProgram(0);
}

void SimProcess::StopTimers(bool threadTimersToo) {
  for (Control& c : controls_) {
    if (c.timer) c.timer->running = false;
  }
  if (threadTimersToo) {
    for (SimTimer* t : threadTimers_) t->running = false;
  }
}

bool SimProcess::LoadWindow(const FormSpec& form, WindowEvents& events) {
  if (!Running() || loaded_) return false;
  form_ = form;
  events_ = &events;
  ++suppress_;
  handle_ = world_.AddTopLevelWindow(kWindowClass, form_.title);
  loaded_ = true;
  visible_ = active_ = firstActivation_ = destroyPending_ = false;
  controls_.clear();
  for (const ControlSpec& item : form_.controls) {
    Control c{&item, item.text};
    if (item.kind == ControlKind::kTimer) {
      // A timer with a stored period runs from its creation.
      c.timer = &world_.NewTimer(this, item.id, 0, nullptr);
      if (item.period > 0) {
        c.timer->period = item.period;
        world_.ArmTimer(*c.timer);
      }
    }
    controls_.push_back(c);
  }
  --suppress_;
  if (CanRaise()) events_->Created();
  if (!loaded_ || !Running()) return true;
  // Moved and resized are not bound. The show raises shown, first activation and activated inside it.
  visible_ = true;
  world_.Record("shown");
  Activate();
  return true;
}

void SimProcess::RunMessageLoop() {
  loopEntered_ = true;
  loopDepth_ = world_.LoopDepth() + 1;
  world_.RunLoop([this] { return !loaded_ || !Running(); });
}

void SimProcess::FireTimer(SimTimer& timer) {
  if (!Running()) return;
  if (timer.threadId != 0) {
    timer.routine();
  } else if (CanRaise()) {
    events_->Tick(timer.control);
  }
}

// ---- What the user does

bool SimProcess::UserType(Ctl editBox, const Text& text) {
  if (!CanTakeInput()) return false;
  Activate();
  for (Control& c : controls_) {
    if (c.item->id == editBox && c.item->kind == ControlKind::kEdit) c.text = text.c_str();
  }
  return true;
}

bool SimProcess::UserClick(Ctl control) {
  if (!CanTakeInput()) return false;
  Activate();
  const ControlSpec* item = nullptr;
  for (const Control& c : controls_) {
    if (c.item->id == control) item = c.item;
  }
  if (!item || item->kind == ControlKind::kTimer || !item->visible) return true;  // nothing there to hit
  const int keyFlags =
      (world_.KeyDown(0x11) ? 1 : 0) | (world_.KeyDown(0x10) ? 2 : 0) | (world_.KeyDown(0x12) ? 4 : 0);
  std::optional<bool> pass;
  if (CanRaise()) pass = events_->LeftButtonDown(control, item->width / 2, item->height / 2, keyFlags);
  if (pass == false) return true;  // the press is dropped
  if (item->kind == ControlKind::kButton && CanRaise() && loaded_) events_->Clicked(control);
  return true;
}

bool SimProcess::UserEnter() {
  if (!CanTakeInput()) return false;
  Activate();
  for (const Control& c : controls_) {
    if (c.item->kind == ControlKind::kButton && c.item->defaultButton) {
      if (CanRaise()) events_->Clicked(c.item->id);
      break;
    }
  }
  return true;
}

bool SimProcess::UserClose() {
  if (!CanTakeInput()) return false;
  Activate();
  Close();
  return true;
}

void SimProcess::Close() {
  bool keep = false;
  if (CanRaise()) keep = !events_->CloseQuery();
  if (!loaded_ || !Running() || keep) return;
  DestroyWindow();
}

bool SimProcess::QueryEndSession() {
  if (!Running() || !loaded_ || !CanRaise()) return true;
  return events_->CloseQuery();
}

// ---- System services

int32_t SimProcess::ShowMessageBox(const Text& text, int32_t style, const std::optional<Text>& title) {
  if (!Running()) return 0;
  const Text shownTitle = title.value_or(kDefaultBoxTitle);
  const bool taskModal = (style & kSystemModal) == 0;
  const int32_t flags = taskModal ? style + kTaskModal : style;
  world_.Record(JoinTexts({"question ", shownTitle, " ", Hex(style), " ", OneLine(text)}));
  const size_t box =
      world_.OpenBox({this, text, shownTitle, style, flags, world_.Now(), std::nullopt, std::nullopt});
  const WindowHandle boxWindow = world_.AddTopLevelWindow(kBoxClass, shownTitle);
  // The box takes the activation; a task-modal one disables the process's windows while it is open.
  const bool wasActive = active_;
  active_ = false;
  if (taskModal) ++disabled_;
  world_.RunLoop([&] { return world_.Boxes()[box].answer.has_value() || !Running(); });
  if (taskModal) --disabled_;
  world_.RemoveTopLevelWindow(boxWindow);
  world_.CloseBox(box);
  const std::optional<BoxAnswer> answer = world_.Boxes()[box].answer;
  if (!answer || !Running()) return 0;
  if (wasActive) Activate();  // the window that was active before gets the activation back
  // A box with the OK button alone gives IDOK for Esc and the close box as well.
  const bool okOnly = (style & 0xF) == 0;
  return MapBoxResult(*answer == BoxAnswer::kOk || okOnly ? kIdOk : kIdCancel);
}

bool SimProcess::ShutDownSystem(int32_t kind, bool force) {
  if (!Running()) return false;
  if (kind != 1) {
    world_.Record(JoinTexts({"shutdown ", IntToText(kind)}));
    return false;
  }
  world_.Record(force ? "poweroff" : "poweroff unforced");
  if (world_.PowerOffFails()) return false;
  world_.PowerOff();
  return true;
}

void SimProcess::OpenWebAddress(const Text& address) {
  if (Running()) world_.Record(JoinTexts({"web ", address}));
}

Text SimProcess::GetRunDirectory() { return runDirectory_; }

Text SimProcess::ReadProfileText(const Text& file, const Text& section, const Text& key) {
  if (!Running()) return Text();
  const Text f = SkipLeadingBlanks(file), s = SkipLeadingBlanks(section), k = SkipLeadingBlanks(key);
  if (f.empty() || s.empty() || k.empty()) return Text();
  const std::optional<Text> content = world_.File(f);
  if (!content) return Text();
  return ReadProfileValue(*content, s, k, kProfileBuffer).value_or(Text());
}

bool SimProcess::WriteProfileText(const Text& file, const Text& section, const Text& key, const Text& value) {
  if (!Running() || world_.ProfileWritesFail()) return false;
  if (file.empty() || section.empty() || key.empty()) return false;
  Text content = world_.File(file).value_or(Text());
  WriteProfileValue(content, section, key, value);
  world_.SetFile(file, content);
  return true;
}

CivilTime SimProcess::LocalTime() { return world_.LocalTime(); }

int32_t SimProcess::AsyncKeyState(int32_t virtualKey) {
  return Running() && world_.KeyDown(virtualKey) ? -32768 : 0;
}

uintptr_t SimProcess::SetThreadTimer(int32_t period, std::function<void()> routine) {
  if (!Running()) return 0;
  SimTimer& timer = world_.NewTimer(this, Ctl{}, ++nextThreadTimerId_, std::move(routine));
  // SetTimer takes the period as unsigned: a negative one is beyond the maximum, which it becomes.
  timer.period = period < 0 ? INT32_MAX : period;
  world_.ArmTimer(timer);
  threadTimers_.push_back(&timer);
  return timer.threadId;
}

void SimProcess::KillThreadTimer(uintptr_t id) {
  for (SimTimer* t : threadTimers_) {
    if (id != 0 && t->threadId == id) t->running = false;
  }
}

WindowHandle SimProcess::FirstTopLevelWindow() { return world_.FirstTopLevelWindow(); }

WindowHandle SimProcess::NextTopLevelWindow(WindowHandle window) { return world_.NextTopLevelWindow(window); }

Text SimProcess::WindowClassName(WindowHandle window) {
  const auto names = world_.WindowNames(window);
  return names ? names->first.substr(0, kWindowTextBuffer - 1) : Text();
}

Text SimProcess::WindowTitle(WindowHandle window) {
  const auto names = world_.WindowNames(window);
  return names ? names->second.substr(0, kWindowTextBuffer - 1) : Text();
}

void SimProcess::EndProgram(int32_t exitCode) {
  if (ended_ || ending_) return;
  ending_ = true;
  if (world_.Stopped()) {
    ended_ = true;
    return;
  }
  ++suppress_;  // no events from here on
  std::function<void()> action = std::move(exitAction_);
  exitAction_ = nullptr;
  if (action) action();
  StopTimers(true);
  if (loaded_) world_.RemoveTopLevelWindow(handle_);
  loaded_ = visible_ = active_ = false;
  ended_ = true;
  exitCode_ = exitCode;
  world_.Record(JoinTexts({label_, label_.empty() ? "" : " ", "exit ", IntToText(exitCode)}));
}

void SimProcess::SetExitAction(std::function<void()> routine) { exitAction_ = std::move(routine); }
