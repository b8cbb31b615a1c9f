// The window, its controls, the timers and the message loop.
#include <algorithm>

#include "platform/win32/control_paint.h"
#include "platform/win32/control_record.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/win32_platform.h"

namespace {

constexpr char kWindowClass[] = "Zentavo.Window";
constexpr char kLabelClass[] = "Zentavo.Label";
constexpr char kLinkClass[] = "Zentavo.Link";
constexpr char kTimerClass[] = "Zentavo.Timer";

// Posted by RequestWindowDestroy; handled once the current message has been finished.
constexpr UINT kDestroyRequest = 0x8065;
// Every timer window runs its one timer under this id.
constexpr UINT_PTR kTimerId = 1000;
// Child window ids: the control's index in the form plus this.
constexpr int kFirstChildId = 100;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

HICON LoadProgramIcon(int metricX, int metricY) {
  auto icon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(ZENTAVO_IDI_APP), IMAGE_ICON,
                                            GetSystemMetrics(metricX), GetSystemMetrics(metricY), 0));
  return icon ? icon : LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */);
}

HCURSOR LoadHandCursor() {
  auto cursor = LoadCursorA(Instance(), MAKEINTRESOURCEA(ZENTAVO_IDC_HAND));
  return cursor ? cursor : LoadCursorA(nullptr, MAKEINTRESOURCEA(32649) /* IDC_HAND */);
}

void RegisterWindowClass(const char* name, WNDPROC proc, UINT style, HICON icon, HICON smallIcon,
                         HCURSOR cursor, HBRUSH background) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = Instance();
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

// The integer input mode of the edit boxes: control characters, digits and the minus sign.
bool PassesIntegerFilter(WPARAM character) {
  return character < 0x20 || (character >= '0' && character <= '9') || character == '-';
}

template <typename T>
T* FromCreateParams(LPARAM lParam) {
  return static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
}

template <typename T>
T* FromUserData(HWND window) {
  return reinterpret_cast<T*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace

bool Win32Platform::LoadWindow(const FormSpec& form, WindowEvents& events) {
  if (window_) return false;  // one window at a time
  static const bool registered = [] {
    HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    RegisterWindowClass(kWindowClass, WindowProc, 0, LoadProgramIcon(SM_CXICON, SM_CYICON),
                        LoadProgramIcon(SM_CXSMICON, SM_CYSMICON), arrow,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RegisterWindowClass(kLabelClass, LabelProc, 0, nullptr, nullptr, arrow, nullptr);
    RegisterWindowClass(kLinkClass, LabelProc, 0, nullptr, nullptr, LoadHandCursor(), nullptr);
    RegisterWindowClass(kTimerClass, TimerProc, CS_DBLCLKS, nullptr, nullptr, arrow,
                        static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    return true;
  }();
  (void)registered;

  events_ = &events;
  controls_.clear();
  tabOrder_ = form.tabOrder;
  lastFocus_ = nullptr;
  destroyPending_ = false;

  ++suppressEvents_;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - form.width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - form.height) / 2;
  // WindowProc stores the handle in window_ at WM_NCCREATE.
  if (!CreateWindowExA(0, kWindowClass, form.title.c_str(),
                       WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, left, top, form.width,
                       form.height, nullptr, nullptr, Instance(), this)) {
    --suppressEvents_;
    return false;
  }
  auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (const ControlSpec& spec : form.controls) {
    controls_.push_back(std::make_unique<Control>(this, spec));
    CreateControl(*controls_.back(), font);
  }
  for (const auto& control : controls_) {
    if (!control->window) continue;
    const bool shown = control->spec.visible && control->spec.kind != ControlKind::kTimer;
    ShowWindow(control->window, shown ? SW_SHOWNA : SW_HIDE);
  }
  --suppressEvents_;

  if (EventsOn()) events_->Created();
  // The show activates the window: activated comes inside this call.
  if (window_) ShowWindow(window_, SW_SHOW);
  return true;
}

HWND Win32Platform::CreateControl(Control& control, HFONT font) {
  const ControlSpec& spec = control.spec;
  const DWORD tabStop = spec.tabStop ? WS_TABSTOP : 0;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  const char* className = kLabelClass;
  switch (spec.kind) {
    case ControlKind::kEdit:
      className = "EDIT";
      style |= tabStop | WS_BORDER | ES_CENTER | ES_AUTOHSCROLL;
      break;
    case ControlKind::kButton:
      className = "BUTTON";
      style |= tabStop | BS_CENTER | BS_VCENTER | BS_MULTILINE |
               (spec.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case ControlKind::kLabel:
      break;
    case ControlKind::kTransparentLabel:
      className = kLinkClass;
      exStyle = WS_EX_TRANSPARENT;
      break;
    case ControlKind::kTimer:
      className = kTimerClass;
      break;
  }
  control.caption = spec.text;
  control.period = std::max(spec.period, 0);
  control.font = font;
  const auto childId = kFirstChildId + static_cast<int>(controls_.size()) - 1;
  // Labels and timers take the record at WM_NCCREATE; a timer with a period starts at WM_CREATE.
  HWND window = CreateWindowExA(exStyle, className, spec.kind == ControlKind::kTimer ? "" : spec.text.c_str(),
                                style, spec.left, spec.top, spec.width, spec.height, window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(childId)), Instance(), &control);
  control.window = window;
  if (!window) return nullptr;
  if (spec.kind == ControlKind::kEdit) {
    SendMessageA(window, EM_LIMITTEXT, 0, 0);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
    control.baseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  }
  if (spec.kind != ControlKind::kTimer)
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return window;
}

// ---------------------------------------------------------------------------------------------------
// Window procedures

LRESULT CALLBACK Win32Platform::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = FromCreateParams<Win32Platform>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  auto* self = FromUserData<Win32Platform>(window);
  if (!self || self->window_ != window) return DefWindowProcA(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT Win32Platform::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_;
  switch (message) {
    case WM_SHOWWINDOW:
      OnShowWindow(wParam != 0);
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_ACTIVATE:
      DefWindowProcA(window, message, wParam, lParam);
      OnActivate(LOWORD(wParam));
      return 0;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_NCACTIVATE:
      // The caption never turns inactive while the window is enabled.
      if (!wParam && IsWindowEnabled(window)) return DefWindowProcA(window, message, TRUE, lParam);
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_CLOSE:
      return OnClose();
    case WM_QUERYENDSESSION:
      return OnQueryEndSession(wParam, lParam);
    case WM_DESTROY:
      DefWindowProcA(window, message, wParam, lParam);
      OnDestroy();
      return 0;
    case WM_NCDESTROY:
      DefWindowProcA(window, message, wParam, lParam);
      OnNcDestroy();
      return 0;
    case kDestroyRequest:
      OnDestroyRequest();
      return 0;
    case WM_COMMAND:
      if (lParam) OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLOREDIT:
      return OnCtlColorEdit(reinterpret_cast<HDC>(wParam));
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void Win32Platform::OnShowWindow(bool show) {
  if (!show && EventsOn()) events_->Hidden();
}

void Win32Platform::OnActivate(int state) {
  // Focus still sits on the control while its window is being deactivated.
  if (state == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(window_, focus)) lastFocus_ = focus;
  }
  if (activationGuard_) return;
  UpdateWindow(window_);
  activationGuard_ = true;
  if ((state == WA_ACTIVE || state == WA_CLICKACTIVE) && EventsOn()) events_->Activated();
  activationGuard_ = false;
}

void Win32Platform::OnSetFocus() {
  HWND target = nullptr;
  if (lastFocus_ && IsChild(window_, lastFocus_) && IsWindowVisible(lastFocus_) &&
      IsWindowEnabled(lastFocus_))
    target = lastFocus_;
  for (size_t i = 0; !target && i < tabOrder_.size(); ++i) {
    Control* control = FindControl(tabOrder_[i]);
    if (control && control->window && IsWindowVisible(control->window) && IsWindowEnabled(control->window))
      target = control->window;
  }
  if (target) SetFocus(target);
}

LRESULT Win32Platform::OnClose() {
  HWND window = window_;
  std::optional<bool> result;
  if (EventsOn()) result = events_->CloseQuery();
  if (window_ != window) return 0;  // the action destroyed it
  if (result && !*result) return 0;
  return DefWindowProcA(window, WM_CLOSE, 0, 0);
}

LRESULT Win32Platform::OnQueryEndSession(WPARAM wParam, LPARAM lParam) {
  DefWindowProcA(window_, WM_QUERYENDSESSION, wParam, lParam);
  std::optional<bool> result;
  if (EventsOn()) result = events_->CloseQuery();
  return (result && !*result) ? FALSE : TRUE;
}

void Win32Platform::OnDestroy() {
  if (EventsOn()) events_->Destroyed();
}

void Win32Platform::OnNcDestroy() {
  // The children are gone by now. Their records stay until the next load: a procedure of one of them
  // may still be on the stack below a modal loop that dispatched the destroy request.
  window_ = nullptr;
  destroyPending_ = false;
  lastFocus_ = nullptr;
  for (const auto& control : controls_) {
    control->window = nullptr;
    control->running = false;
  }
  if (loopEntered_) PostQuitMessage(0);
}

void Win32Platform::OnDestroyRequest() {
  if (!destroyPending_) return;
  destroyPending_ = false;
  DestroyWindow(window_);
}

void Win32Platform::OnCommand(HWND from, int code) {
  Control* control = FindControl(from);
  if (control && control->spec.kind == ControlKind::kButton && code == BN_CLICKED && EventsOn())
    events_->Clicked(control->spec.id);
}

LRESULT Win32Platform::OnCtlColorEdit(HDC dc) {
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

LRESULT CALLBACK Win32Platform::LabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(FromCreateParams<Control>(lParam)));
  Control* control = FromUserData<Control>(window);
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
      if (control->spec.kind == ControlKind::kTransparentLabel)
        PaintEngravedLabel(window, control->caption, control->font);
      else
        PaintLabel(window, control->caption, control->font);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // painting fills, or deliberately leaves, the background
    case WM_SETFONT:
      control->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(control->font);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK Win32Platform::TimerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* control = FromCreateParams<Control>(lParam);
    control->window = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  }
  Control* control = FromUserData<Control>(window);
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      if (control->period > 0) control->owner->StartTimer(*control);
      return 0;
    case WM_TIMER: {
      DefWindowProcA(window, message, wParam, lParam);
      Win32Platform* owner = control->owner;
      if (owner->EventsOn()) owner->events_->Tick(control->spec.id);
      return 0;
    }
    case WM_DESTROY:
      control->owner->StopTimer(*control);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK Win32Platform::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Control* control = FromUserData<Control>(window);
  // An ANSI edit box gets typed characters as WM_CHAR, and IME results as WM_IME_CHAR, which it would
  // insert without a WM_CHAR: both pass the integer filter. Pasted text is not filtered.
  if ((message == WM_CHAR || message == WM_IME_CHAR) && !PassesIntegerFilter(wParam)) return 0;
  return CallWindowProcA(control->baseProc, window, message, wParam, lParam);
}

void Win32Platform::StartTimer(Control& timer) {
  timer.running = SetTimer(timer.window, kTimerId, static_cast<UINT>(timer.period), nullptr) != 0;
}

void Win32Platform::StopTimer(Control& timer) {
  if (timer.running) KillTimer(timer.window, kTimerId);
  timer.running = false;
}

// ---------------------------------------------------------------------------------------------------
// Message loop

void Win32Platform::RunMessageLoop() {
  loopEntered_ = true;
  if (!window_) return;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (window_ && (message.hwnd == window_ || IsChild(window_, message.hwnd))) {
      if (PreTranslateMouse(message) || PreTranslateKey(message)) continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool Win32Platform::PreTranslateMouse(const MSG& message) {
  if (message.message != WM_LBUTTONDOWN || !EventsOn()) return false;
  Ctl id = Ctl::MainWindow;
  if (message.hwnd != window_) {
    Control* control = FindControl(message.hwnd);
    if (!control) return false;
    id = control->spec.id;
  }
  const int keyFlags = ((message.wParam & MK_CONTROL) ? 1 : 0) | ((message.wParam & MK_SHIFT) ? 2 : 0) |
                       (GetKeyState(VK_MENU) < 0 ? 4 : 0);
  const int x = static_cast<short>(LOWORD(message.lParam));
  const int y = static_cast<short>(HIWORD(message.lParam));
  const std::optional<bool> result = events_->LeftButtonDown(id, x, y, keyFlags);
  return result.has_value() && !*result;
}

// The window sees these keys before the focused control, as a dialog does. A consumed key is not
// translated, so no WM_CHAR follows it.
bool Win32Platform::PreTranslateKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  switch (message.wParam) {
    case VK_RETURN:
      ClickDefaultButton();
      return true;
    case VK_ESCAPE:
      SendMessageA(window_, WM_CLOSE, 0, 0);
      return true;
    case VK_TAB:
      MoveFocus(GetKeyState(VK_SHIFT) < 0);
      return true;
    default:
      return false;
  }
}

void Win32Platform::ClickDefaultButton() {
  auto usable = [](const Control* control) {
    return control && control->window && control->spec.kind == ControlKind::kButton &&
           control->spec.defaultButton && IsWindowEnabled(control->window);
  };
  Control* target = FindControl(GetFocus());
  for (size_t i = 0; !usable(target) && i < controls_.size(); ++i) target = controls_[i].get();
  if (!usable(target)) return;
  // What the button itself sends when clicked; the focus stays where it is.
  const auto childId = static_cast<WORD>(GetDlgCtrlID(target->window));
  SendMessageA(window_, WM_COMMAND, MAKEWPARAM(childId, BN_CLICKED),
               reinterpret_cast<LPARAM>(target->window));
}

void Win32Platform::MoveFocus(bool backwards) {
  const int count = static_cast<int>(tabOrder_.size());
  if (count == 0) return;
  Control* focused = FindControl(GetFocus());
  int position = -1;
  for (int i = 0; focused && i < count; ++i)
    if (tabOrder_[i] == focused->spec.id) position = i;
  if (position < 0) position = backwards ? 0 : count - 1;  // so the first step lands on an end
  for (int step = 1; step <= count; ++step) {
    const int i = ((position + (backwards ? -step : step)) % count + count) % count;
    Control* control = FindControl(tabOrder_[i]);
    if (control && control->window && IsWindowVisible(control->window) && IsWindowEnabled(control->window)) {
      SetFocus(control->window);
      return;
    }
  }
}

// ---------------------------------------------------------------------------------------------------
// Window services

Text Win32Platform::ReadText(Ctl id) {
  if (id == Ctl::MainWindow) {
    RequireLoaded();
    char title[256] = {};
    return Text(title, std::max(GetWindowTextA(window_, title, sizeof title), 0));
  }
  Control& control = LoadedControl(id);
  if (control.spec.kind != ControlKind::kEdit) return control.caption;
  const int length = GetWindowTextLengthA(control.window);
  if (length <= 0) return Text();
  Text text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(std::max(GetWindowTextA(control.window, text.data(), length + 1), 0)));
  return text;
}

Text Win32Platform::ReadTag(Ctl id) {
  if (id == Ctl::MainWindow) {
    RequireLoaded();
    return Text();
  }
  return LoadedControl(id).spec.tag;
}

void Win32Platform::WriteText(Ctl id, const Text& text) {
  Control& control = LoadedControl(id);
  if (control.spec.kind == ControlKind::kTimer) return;
  if (control.spec.kind != ControlKind::kEdit) {
    control.caption = text.substr(0, text.find('\0'));
    InvalidateRect(control.window, nullptr, TRUE);
  }
  SetWindowTextA(control.window, text.c_str());
}

void Win32Platform::WritePeriod(Ctl id, int32_t milliseconds) {
  Control& timer = LoadedControl(id);
  if (timer.spec.kind != ControlKind::kTimer) return;
  milliseconds = std::max(milliseconds, 0);
  if (milliseconds == timer.period) return;  // a running timer keeps its rhythm
  timer.period = milliseconds;
  StopTimer(timer);
  if (milliseconds > 0) StartTimer(timer);
}

bool Win32Platform::IsVisible() {
  RequireLoaded();
  return IsWindowVisible(window_) != 0;
}

void Win32Platform::SetVisible(bool visible) {
  RequireLoaded();
  if (!visible) {
    ShowWindow(window_, SW_HIDE);
    return;
  }
  // SW_SHOW activates a window it shows, but returns at once for one already visible: that one is
  // brought to the front here, so showing always leaves the window active.
  const bool wasVisible = IsWindowVisible(window_) != 0;
  ShowWindow(window_, SW_SHOW);
  if (wasVisible && window_ && GetActiveWindow() != window_) SetForegroundWindow(window_);
}

void Win32Platform::RequestWindowDestroy() {
  RequireLoaded();
  destroyPending_ = true;
  PostMessageA(window_, kDestroyRequest, 0, 0);
}

HWND Win32Platform::ControlWindow(Ctl id) const {
  for (const auto& control : controls_)
    if (control->spec.id == id) return control->window;
  return nullptr;
}

Win32Platform::Control* Win32Platform::FindControl(Ctl id) {
  for (const auto& control : controls_)
    if (control->spec.id == id) return control.get();
  return nullptr;
}

Win32Platform::Control* Win32Platform::FindControl(HWND window) {
  if (!window) return nullptr;
  for (const auto& control : controls_)
    if (control->window == window) return control.get();
  return nullptr;
}

void Win32Platform::RequireLoaded() {
  if (!window_) Fatal("Zentavo: a window service was called while no window is loaded\n");
}

Win32Platform::Control& Win32Platform::LoadedControl(Ctl id) {
  RequireLoaded();
  Control* control = FindControl(id);
  if (!control || !control->window)
    Fatal("Zentavo: a window service named a control the window does not have\n");
  return *control;
}

void Win32Platform::Fatal(const char* what) {
  // A programming error: no more events, no exit action.
  ++suppressEvents_;
  OutputDebugStringA(what);
  ExitProcess(3);
}
