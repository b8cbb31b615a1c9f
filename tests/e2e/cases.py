"""The end-to-end cases: the real program under Wine, driven as a user would, observed from outside."""

import shutil
import time

from bench import Display, DriverGone, cpu_seconds, from_hex, gbk_hex, wait_for

TITLE = "Zentavo By：Morvil"
SETTINGS_FILE = "配置.ini"
SECTION = "关机设置"
KEYS = ["小时", "分钟", "等待秒数", "关机有效间隔", "下次提醒间隔"]

# The main window's form: name, kind, left, top, width, height (client coordinates), text.
FORM = [
    ("编辑框1", "edit", 27, 17, 20, 20, ""),
    ("标签1", "label", 55, 15, 12, 24, "时"),
    ("编辑框2", "edit", 75, 17, 20, 20, ""),
    ("标签2", "label", 107, 15, 12, 24, "分"),
    ("标签5", "label", 19, 43, 50, 24, "等待时间"),
    ("编辑框3", "edit", 73, 45, 30, 20, "30"),
    ("标签3", "label", 107, 43, 12, 24, "秒"),
    ("标签7", "label", 19, 66, 50, 24, "有效时间"),
    ("编辑框4", "edit", 73, 68, 30, 20, "120"),
    ("标签4", "label", 107, 66, 45, 24, "分钟内"),
    ("标签9", "label", 20, 88, 36, 24, "取消后"),
    ("编辑框5", "edit", 58, 90, 30, 20, "30"),
    ("标签8", "label", 92, 88, 76, 24, "分钟后再提醒"),
    ("按钮1", "button", 169, 11, 80, 32, "设 置/隐 藏"),
    ("按钮2", "button", 169, 67, 80, 32, "退出软件"),
    ("透明标签1", "label", 187, 104, 72, 12, None),  # the contact line: its text is the maker's
    ("标签6", "label", 0, 14, 80, 24, "2000年1月1日"),
]
FIELDS = ["编辑框1", "编辑框2", "编辑框3", "编辑框4", "编辑框5"]
TAB_ORDER = ["编辑框1", "按钮1", "按钮2", "编辑框2", "编辑框3", "编辑框4", "编辑框5"]

VK_BACK, VK_TAB, VK_RETURN, VK_SHIFT, VK_CONTROL, VK_MENU = 0x08, 0x09, 0x0D, 0x10, 0x11, 0x12
VK_ESCAPE, VK_SPACE, VK_END, VK_F4, VK_F12, VK_V = 0x1B, 0x20, 0x23, 0x73, 0x7B, 0x56
WM_PASTE = 0x0302
HTCAPTION, HTCLOSE = 2, 20
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_THICKFRAME = 0x20000, 0x10000, 0x40000
WS_SYSMENU, WS_CAPTION, WS_CLIPCHILDREN, WS_TABSTOP = 0x80000, 0xC00000, 0x2000000, 0x10000
WS_EX_TRANSPARENT, WS_EX_WINDOWEDGE, ES_CENTER, ES_AUTOHSCROLL, BS_DEFPUSHBUTTON = 0x20, 0x100, 0x1, 0x80, 0x1
MB_TASKMODAL = 0x2000
IDOK, IDCANCEL = 1, 2


BLOCKED = object()


class CaseFailure(AssertionError):
    pass


def settings_bytes(values):
    """A settings file as the system's profile functions write it: the section, then key=value lines in
    the order they were first written, CRLF line ends, GBK."""
    lines = ["[%s]" % SECTION] + ["%s=%s" % (k, values[k]) for k in KEYS if k in values]
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


class Case:
    """What a case works with: its session, checks that collect failures, and the program's window."""

    def __init__(self, bench, session, name):
        self.bench, self.session, self.name = bench, session, name
        self.driver = session.driver
        self.failures = []
        self.notes = []
        self.runs = 0

    # -- checks --
    def expect(self, condition, message):
        if not condition:
            self.failures.append(message)
        return bool(condition)

    def equal(self, actual, expected, what):
        return self.expect(actual == expected, "%s: expected %r, got %r" % (what, expected, actual))

    def require(self, condition, message):
        if not condition:
            raise CaseFailure(message)

    def note(self, text):
        self.notes.append(text)

    # -- the program --
    def launch(self, settings=None, folder=None, trace=True):
        """Copies the program into a fresh folder C:\\e2e\\<case>-<n>, puts `settings` beside it when given
        (bytes: the file's content; BLOCKED: a folder of that name, which no profile function can open),
        starts it and waits for its window."""
        for program in self.session.programs:  # one copy at a time: a running one would block the start
            program.kill()
        self.runs += 1
        folder = self.bench.paths.case_dir(folder or "%s-%d" % (self.name, self.runs))
        if folder.exists():
            shutil.rmtree(folder)
        folder.mkdir(parents=True)
        exe = folder / "zentavo.exe"
        shutil.copy(self.bench.exe, exe)
        if settings is BLOCKED:
            (folder / SETTINGS_FILE).mkdir()
        elif settings is not None:
            (folder / SETTINGS_FILE).write_bytes(settings)
        program = self.session.start_program(exe, trace=trace)
        started = time.monotonic()
        window = self.driver.call("find", title=gbk_hex(TITLE), visible=1, timeout=60)
        app = App(self, program, window, folder)
        app.startup_seconds = time.monotonic() - started
        return app

    def now(self):
        return self.driver.call("time")

    def time_inside_day(self):
        """The present local time, first waiting out the last two minutes of the day: the shutdown
        interval never reaches past midnight, so a case that needs "now" inside it starts after 00:00."""
        t = self.now()
        if t["hour"] == 23 and t["minute"] >= 58:
            wait = (60 - t["minute"]) * 60 - t["second"] + 2
            self.note("waited %d s for midnight" % wait)
            time.sleep(wait)
            t = self.now()
        return t

    def box(self, title, timeout=10, **match):
        """The question box with `title`, its message text and buttons; None when none comes up."""
        box = self.driver.call("box", title=gbk_hex(title), timeout=timeout, allow_fail=True, **match)
        if box:
            box["title"] = from_hex(box["text"])
            box["message"] = from_hex(box["message"])
            box["button_ids"] = sorted(b["id"] for b in box["buttons"])
        return box

    def no_box(self, title, seconds):
        return self.driver.call("box", title=gbk_hex(title), timeout=seconds, allow_fail=True) is None

    def answer(self, box, button):
        self.driver.call("answer", hwnd=box["hwnd"], id=button, timeout=10)


class App:
    """The program's main window as the driver sees it; controls are found by class and place."""

    def __init__(self, case, program, window, folder):
        self.case, self.program, self.folder = case, program, folder
        self.driver = case.driver
        self.hwnd = window["hwnd"]
        self.pid = window["pid"]
        self._controls = None

    def info(self):
        return self.driver.call("info", hwnd=self.hwnd)

    def visible(self):
        return self.info()["visible"]

    def children(self):
        return self.driver.call("children", hwnd=self.hwnd)["children"]

    def controls(self):
        """Maps each form name to the child window that stands where the form puts it: the child whose
        rectangle contains the centre of the form's rectangle, of the right kind."""
        if self._controls is None:
            kids = self.children()
            found = {}
            for name, kind, left, top, width, height, _ in FORM:
                cx, cy = left + width // 2, top + height // 2
                for kid in kids:
                    cls = from_hex(kid["class"]).lower()
                    if kind == "edit" and cls != "edit" or kind == "button" and cls != "button":
                        continue
                    if kind == "label" and cls in ("edit", "button"):
                        continue
                    l, t, r, b = kid["place"]
                    if l <= cx < r and t <= cy < b:
                        found[name] = kid
                        break
            self._controls = found
        return self._controls

    def control(self, name):
        control = self.controls().get(name)
        self.case.require(control is not None, "no %s found at its place" % name)
        return control

    def text(self, name):
        return from_hex(self.driver.call("info", hwnd=self.control(name)["hwnd"])["text"])

    def field_texts(self):
        return [self.text(name) for name in FIELDS]

    def focus_name(self):
        focus = self.info()["focus"]
        for name, control in self.controls().items():
            if control["hwnd"] == focus:
                return name
        return "window" if focus == self.hwnd else "other (%d)" % focus

    def wait_focus(self, name, timeout=3):
        return self.driver.call("wait", hwnd=self.hwnd, until="focus", focus=self.control(name)["hwnd"],
                                timeout=timeout, allow_fail=True) is not None

    def activate(self):
        """Clicks the window's caption, as a user brings a window to the front."""
        hit = self.driver.call("hit", hwnd=self.hwnd, code=HTCAPTION)
        self.driver.call("click", x=hit["x"] - 40, y=hit["y"])
        return self.driver.call("wait", hwnd=self.hwnd, until="foreground", timeout=3, allow_fail=True) is not None

    def click(self, name):
        self.driver.call("click", hwnd=self.control(name)["hwnd"])

    def press(self, *keys, hold=60, **extra):
        return self.driver.call("press", keys=",".join(str(k) for k in keys), hold=hold, **extra)

    def type(self, text):
        self.driver.call("type", text=gbk_hex(text))

    def replace_text(self, name, text):
        """Puts the caret at the end of a field, erases it with Backspace and types `text`."""
        self.click(name)
        self.case.require(self.wait_focus(name), "%s did not take the focus when clicked" % name)
        self.press(VK_END)
        self.press(VK_BACK, hold=20, repeat=len(self.text(name)) + 1)
        self.type(text)

    def wait_hidden(self, timeout=5):
        return self.driver.call("wait", hwnd=self.hwnd, until="hidden", timeout=timeout, allow_fail=True) is not None

    def wait_visible(self, timeout=5):
        return self.driver.call("wait", hwnd=self.hwnd, until="visible", timeout=timeout, allow_fail=True) is not None

    def settings(self):
        path = self.folder / SETTINGS_FILE
        return path.read_bytes() if path.exists() else None

    def toggle(self, hold=300):
        """Ctrl+F12 held for `hold` ms; reports how often the window's visibility changed meanwhile."""
        return self.press(VK_CONTROL, VK_F12, hold=hold, watch=self.hwnd, after=400)

    def message_boxes(self):
        return message_boxes(self.program)


def message_boxes(program):
    """A program's traced MessageBoxA calls as (text, title, flags, result)."""
    return [(c.args[1], c.args[2], int(c.args[3], 16), c.retval) for c in program.calls("MessageBoxA")]


# ---- cases -----------------------------------------------------------------------------------------


def case_startup_and_layout(c):
    """Start-up with no settings file: title, size, centred place, frame, focus, field defaults, and every
    control at the place the form gives, with its text."""
    app = c.launch()
    w = app.info()
    c.equal(from_hex(w["text"]), TITLE, "title")
    c.expect(w["visible"], "window not visible after start-up")
    l, t, r, b = w["rect"]
    c.equal((r - l, b - t), (271, 150), "outer size")
    cx, cy = c.session.screen["cx"], c.session.screen["cy"]
    c.equal((l, t), ((cx - 271) // 2, (cy - 150) // 2), "position on a %dx%d screen" % (cx, cy))
    style = w["style"]
    c.expect(style & WS_CAPTION == WS_CAPTION and style & WS_SYSMENU, "no caption or system menu: %#x" % style)
    c.expect(style & WS_CLIPCHILDREN, "WS_CLIPCHILDREN missing: %#x" % style)
    c.expect(not style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
             "minimize/maximize box or sizing frame present: %#x" % style)
    c.equal(w["exstyle"] & ~WS_EX_WINDOWEDGE, 0, "extended style (Wine adds WS_EX_WINDOWEDGE itself)")
    c.equal(w["owner"], 0, "owner")
    c.equal(w["foreground"], app.hwnd, "foreground window after start-up")
    c.equal(app.focus_name(), "编辑框1", "focused control after start-up")
    c.equal(app.field_texts(), ["", "", "30", "120", "30"], "field texts after start-up")

    kids = app.children()
    for index, (name, kind, left, top, width, height, text) in enumerate(FORM):
        rect = [left, top, left + width, top + height]
        at_place = [k for k in kids if k["place"] == rect]
        if not c.expect(len(at_place) == 1, "layout[%d] %s: %d children at %s; children: %s" % (
                index, name, len(at_place), rect, sorted(k["place"] for k in kids))):
            continue
        kid = at_place[0]
        cls = from_hex(kid["class"]).lower()
        if kind in ("edit", "button"):
            c.equal(cls, kind, "layout[%d] %s class" % (index, name))
        if text is not None:
            c.equal(from_hex(kid["text"]), text, "layout[%d] %s text" % (index, name))
        c.equal(kid["visible"], name != "标签6", "layout[%d] %s visible" % (index, name))
        if kind == "edit":  # Wine's edit control takes WS_BORDER out of the style and draws the border itself
            want = WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL
            c.expect(kid["style"] & want == want, "layout[%d] %s style %#x" % (index, name, kid["style"]))
        if name == "按钮1":
            c.expect(kid["style"] & 0xF == BS_DEFPUSHBUTTON, "按钮1 is not the default button: %#x" % kid["style"])
        if name == "透明标签1":
            c.expect(kid["exstyle"] & WS_EX_TRANSPARENT, "透明标签1 lacks WS_EX_TRANSPARENT: %#x" % kid["exstyle"])
    c.equal(sum(k["visible"] for k in kids), len(FORM) - 1, "number of visible child windows")
    c.expect(app.settings() is None, "a settings file exists after a mere start-up")
    c.session.screenshot("main_window")

    # The caption moves the window; its size stays.
    spot = c.driver.call("hit", hwnd=app.hwnd, code=HTCAPTION)
    c.driver.call("drag", x=spot["x"], y=spot["y"], tox=spot["x"] - 100, toy=spot["y"] + 60)
    moved = wait_for(lambda: app.info()["rect"] != w["rect"] and app.info()["rect"], 3) or app.info()["rect"]
    c.equal(moved, [l - 100, t + 60, r - 100, b + 60], "window rectangle after dragging the caption")
    c.expect(app.program.alive(), "program ended")


LOAD_ROWS = [
    # settings file values, expected field texts after start-up
    ({"小时": "25", "分钟": "75", "等待秒数": "7", "关机有效间隔": "9", "下次提醒间隔": "11"},
     ["23", "59", "7", "9", "11"]),
    ({"小时": "23.99999995", "分钟": "59.99999995"}, ["23", "59", "30", "120", "30"]),
    ({"小时": "23.9999998", "分钟": "-5", "等待秒数": ""}, ["23.9999998", "-5", "30", "120", "30"]),
    ({"小时": "abc", "下次提醒间隔": "0"}, ["abc", "", "30", "120", "0"]),
]


def case_settings_load(c):
    """Loading the settings file: hour and minute clamped to 23 and 59 from 24 and 60 on (with the small
    tolerance), other values as they stand, empty values leave the defaults, and the file is not changed."""
    for index, (values, expected) in enumerate(LOAD_ROWS):
        data = settings_bytes(values)
        app = c.launch(settings=data)
        c.equal(app.field_texts(), expected, "load[%d] %r: fields" % (index, values))
        c.equal(app.settings(), data, "load[%d]: settings file after loading" % index)
        c.expect(not app.message_boxes(), "load[%d]: a question came up: %r" % (index, app.message_boxes()))
        app.program.kill()


FILTER_ROWS = [
    # field, how, input, expected text afterwards
    ("编辑框1", "type", "a1b-2中x!", "1-2"),
    ("编辑框1", "ctrl+v", "abc", "1-2abc"),
    ("编辑框2", "wm_paste", "中文x", "中文x"),
    ("编辑框3", "type", "-z5", "30-5"),
    ("编辑框4", "type", "\b\b7", "17"),
]


def case_filter_and_paste(c):
    """Typed characters pass only as digits, '-' and control characters; Ctrl+V and WM_PASTE insert the
    clipboard's text unfiltered."""
    app = c.launch()
    for index, (name, how, text, expected) in enumerate(FILTER_ROWS):
        app.click(name)
        c.require(app.wait_focus(name), "filter[%d]: %s did not take the focus" % (index, name))
        app.press(VK_END)
        if how == "type":
            app.type(text)
        else:
            c.driver.call("clipboard", text=gbk_hex(text))
            if how == "ctrl+v":
                app.press(VK_CONTROL, VK_V, hold=80)
            else:
                c.driver.call("send", hwnd=app.control(name)["hwnd"], msg=WM_PASTE)
        got = wait_for(lambda: app.text(name) == expected and expected, 2) or app.text(name)
        c.equal(got, expected, "filter[%d] %s %r into %s" % (index, how, text, name))


def case_tab_order(c):
    """Tab and Shift+Tab walk the fixed order and wrap at both ends; a window that gets the focus back
    hands it to the control that had it."""
    app = c.launch()
    c.equal(app.focus_name(), TAB_ORDER[0], "focus at start-up")
    forward = TAB_ORDER[1:] + TAB_ORDER[:1]
    seen = []
    for name in forward:
        app.press(VK_TAB)
        app.wait_focus(name)
        seen.append(app.focus_name())
    c.equal(seen, forward, "focus after each Tab")
    backward = list(reversed(TAB_ORDER))
    seen = []
    for name in backward:
        app.press(VK_SHIFT, VK_TAB)
        app.wait_focus(name)
        seen.append(app.focus_name())
    c.equal(seen, backward, "focus after each Shift+Tab")

    # Focus on 编辑框4, another program takes the foreground, then the user clicks the caption.
    app.press(VK_SHIFT, VK_TAB, repeat=2)
    c.require(app.wait_focus("编辑框4"), "Shift+Tab x2 from 编辑框1 did not reach 编辑框4")
    other = c.driver.call("other")
    c.expect(c.driver.call("wait", hwnd=other["hwnd"], until="foreground", timeout=3, allow_fail=True),
             "the driver's window did not take the foreground")
    # The caption keeps the active colour when another window is active: compare one pixel of each
    # window's caption bar in both states.
    spots = []
    for hwnd in (app.hwnd, other["hwnd"]):
        area = c.driver.call("hit", hwnd=hwnd, code=HTCAPTION)["area"]
        spots.append((area[2] - 3, (area[1] + area[3]) // 2))
    time.sleep(0.3)
    other_active = c.session.screenshot("caption_other_active")
    c.expect(app.activate(), "clicking the caption did not bring the window to the front")
    time.sleep(0.3)
    main_active = c.session.screenshot("caption_main_active")
    colours = [[Display.pixel(shot, x, y) for x, y in spots] for shot in (other_active, main_active)]
    c.expect(colours[0][1] != colours[1][1], "active and inactive captions look alike here: %r" % colours)
    c.equal(colours[0][0], colours[1][0], "main caption colour while another window is active")
    app.wait_focus("编辑框4")
    c.equal(app.focus_name(), "编辑框4", "focus after the window was activated again")
    c.expect(app.visible(), "window hidden by Tab or activation")
    c.expect(app.settings() is None, "Tab or activation saved the settings")


def case_enter_saves_and_hides(c):
    """Enter in a field saves the five fields (hour 24 and minute 60 clamped first) in the exact file
    format and hides the window; Enter while 按钮2 has the focus does the same, with no exit question."""
    t = c.time_inside_day()  # the first save below arms the single-second interval 23:59:00
    minute = (t["minute"] + 30) % 60
    app = c.launch()
    app.type("24")
    for name, text in (("编辑框2", "60"), ("编辑框3", "15"), ("编辑框4", "0"), ("编辑框5", "45")):
        app.replace_text(name, text)
    c.equal(app.field_texts(), ["24", "60", "15", "0", "45"], "fields before Enter")
    app.press(VK_RETURN)
    c.expect(app.wait_hidden(), "Enter in 编辑框5 did not hide the window")
    saved = wait_for(app.settings, 3)
    want = settings_bytes({"小时": "23", "分钟": "59", "等待秒数": "15", "关机有效间隔": "0", "下次提醒间隔": "45"})
    c.equal(saved, want, "settings file after Enter with 24 and 60")
    c.equal(app.field_texts()[:2], ["23", "59"], "hour and minute fields after saving 24 and 60")

    app2 = c.launch()
    app2.replace_text("编辑框1", str((t["hour"] + 12) % 24))
    app2.replace_text("编辑框2", str(minute))
    app2.click("编辑框1")
    app2.press(VK_TAB, repeat=2)
    c.require(app2.wait_focus("按钮2"), "Tab x2 from 编辑框1 did not reach 按钮2")
    app2.press(VK_RETURN)
    c.expect(app2.wait_hidden(), "Enter on 按钮2 did not hide the window")
    want2 = settings_bytes({"小时": str((t["hour"] + 12) % 24), "分钟": str(minute), "等待秒数": "30",
                            "关机有效间隔": "120", "下次提醒间隔": "30"})
    c.equal(wait_for(app2.settings, 3), want2, "settings file after Enter on 按钮2")
    c.expect(c.no_box("警告", 1.5), "Enter on 按钮2 asked the exit question")
    c.expect(app2.program.alive(), "program ended after Enter on 按钮2")

    app3 = c.launch()
    app3.replace_text("编辑框3", "")
    app3.press(VK_RETURN)
    c.expect(app3.wait_hidden(), "Enter with empty fields did not hide the window")
    want3 = settings_bytes({"小时": "", "分钟": "", "等待秒数": "", "关机有效间隔": "120", "下次提醒间隔": "30"})
    c.equal(wait_for(app3.settings, 3), want3, "settings file with empty fields (key= lines)")


def case_save_failure_warns(c):
    """A save that cannot write the settings file says so ("警告", exclamation icon, the file's path), then
    hides the window as any save does; the fields keep what the user typed."""
    app = c.launch(settings=BLOCKED)
    app.replace_text("编辑框3", "12")
    app.press(VK_RETURN)
    box = c.box("警告", timeout=5)
    c.require(box, "no warning after a failed save")
    path = "C:\\e2e\\%s\\%s" % (app.folder.name, SETTINGS_FILE)
    c.equal(box["message"], "设置未能保存到配置文件：\r\n" + path, "warning text")
    c.equal(box["button_ids"], [IDOK], "warning buttons")
    c.session.screenshot("save_failure_warning")
    c.answer(box, IDOK)
    c.expect(app.wait_hidden(), "the window did not hide after the warning")
    c.equal(app.field_texts(), ["", "", "12", "120", "30"], "fields after the failed save")
    c.equal([b[:3] for b in app.message_boxes()], [("设置未能保存到配置文件：\r\n" + path, "警告", 48 | MB_TASKMODAL)],
            "traced MessageBoxA calls (text, title, flags)")
    c.expect((app.folder / SETTINGS_FILE).is_dir(), "the blocking folder was replaced")


def case_exit_question(c):
    """Esc, the close box, Alt+F4 and Space on 按钮2 each ask "即将关闭软件？" (title 警告, OK/Cancel with
    the exclamation icon, task-modal); Cancel keeps the window, OK ends the program with exit code 0."""
    app = c.launch()

    def close_box():
        spot = c.driver.call("hit", hwnd=app.hwnd, code=HTCLOSE)
        c.driver.call("click", x=spot["x"], y=spot["y"])

    def space_on_button2():
        app.click("编辑框1")
        app.press(VK_TAB, repeat=2)
        c.require(app.wait_focus("按钮2"), "Tab x2 from 编辑框1 did not reach 按钮2")
        app.press(VK_SPACE)

    ways = [
        ("Esc", lambda: app.press(VK_ESCAPE)),
        ("close box", close_box),
        ("Alt+F4", lambda: app.press(VK_MENU, VK_F4, hold=80)),
        ("Space on 按钮2", space_on_button2),
    ]
    for index, (way, act) in enumerate(ways):
        if index:  # the closed box left no window active; the user clicks the caption first
            c.expect(app.activate(), "exit[%d]: could not bring the window to the front again" % index)
        act()
        box = c.box("警告", timeout=5)
        if not c.expect(box, "exit[%d] %s: no exit question" % (index, way)):
            continue
        c.equal(box["message"], "即将关闭软件？", "exit[%d] %s: message" % (index, way))
        c.equal(box["button_ids"], [IDOK, IDCANCEL], "exit[%d] %s: buttons" % (index, way))
        if index == 0:
            c.session.screenshot("exit_question")
        last = index == len(ways) - 1
        c.answer(box, IDOK if last else IDCANCEL)
        if not last:
            time.sleep(0.3)
            c.expect(app.program.alive() and app.visible(), "exit[%d] %s: Cancel did not keep the window" % (
                index, way))
    c.equal(app.program.exit_code(timeout=10), 0, "exit code after OK")
    c.equal(app.message_boxes(), [("即将关闭软件？", "警告", 49 | MB_TASKMODAL, r) for r in (IDCANCEL,) * 3 + (IDOK,)],
            "traced MessageBoxA calls (text, title, flags, result)")


def case_hotkey(c):
    """Ctrl+F12, while another program has the focus, hides the window and shows it again, once per press
    however long it is held; Ctrl or F12 alone does nothing."""
    app = c.launch()
    other = c.driver.call("other")
    c.require(c.driver.call("wait", hwnd=other["hwnd"], until="foreground", timeout=3, allow_fail=True),
              "the driver's window did not take the foreground")
    for index, keys in enumerate(([VK_CONTROL], [VK_F12])):
        r = app.press(*keys, hold=300, watch=app.hwnd, after=300)
        c.expect(r["changes"] == 0 and r["last"], "hotkey[%d] %s alone changed the window: %r" % (index, keys, r))
    expected_visible = True
    for index, hold in enumerate((150, 400, 1500, 400)):
        r = app.toggle(hold=hold)
        expected_visible = not expected_visible
        c.equal((r["changes"], r["last"]), (1, expected_visible),
                "hotkey press %d held %d ms: (visibility changes, visible at the end)" % (index, hold))
        if expected_visible:
            c.expect(c.driver.call("wait", hwnd=app.hwnd, until="foreground", timeout=2, allow_fail=True),
                     "hotkey press %d: shown window is not in the foreground" % index)
        time.sleep(0.2)
    c.expect(not app.message_boxes(), "a question came up: %r" % app.message_boxes())


def case_second_copy(c):
    """A second start while the first copy runs hidden shows "程序已经运行，按Ctrl+F12键激活窗口！" (title
    信息：) and ends with exit code 0; the first copy keeps running, hidden."""
    first = c.launch()
    first.press(VK_RETURN)
    c.require(first.wait_hidden(), "Enter did not hide the first copy")
    exe = first.folder / "zentavo.exe"
    second = c.session.start_program(exe)
    box = c.box("信息：", timeout=30)
    c.require(box, "the second copy showed no notice")
    c.equal(box["message"], "程序已经运行，按Ctrl+F12键激活窗口！", "notice text")
    c.equal(box["button_ids"], [IDOK], "notice buttons")
    c.session.screenshot("second_copy_notice")
    c.answer(box, IDOK)
    c.equal(second.exit_code(timeout=10), 0, "exit code of the second copy")
    c.equal([b[:3] for b in message_boxes(second)], [("程序已经运行，按Ctrl+F12键激活窗口！", "信息：", 48 | MB_TASKMODAL)],
            "second copy's MessageBoxA calls (text, title, flags)")
    windows = c.driver.call("windows", title=gbk_hex(TITLE))["windows"]
    c.equal([w["hwnd"] for w in windows], [first.hwnd], "windows titled %s" % TITLE)
    c.expect(first.program.alive(), "the first copy ended")
    c.expect(not first.visible(), "the first copy's window became visible")
    r = first.toggle()
    c.expect(r["last"], "Ctrl+F12 did not show the first copy after the notice")


def shutdown_fields(t, wait, snooze):
    """Field texts that put the present time of day inside the shutdown interval: the present hour and
    minute, and a span that ends the interval at 23:59."""
    span = (23 - t["hour"]) * 60 + 59 - t["minute"]
    return [str(t["hour"]), str(t["minute"]), str(wait), str(span), str(snooze)]


def shutdown_message(fields):
    return "时间过%s时%s分0秒你要现在关机吗？\r\n%s秒后自动关机！\r\n取消后，在%s分钟内不会提示！" % (
        fields[0], fields[1], fields[2], fields[4])


def arm_shutdown(c, wait, snooze):
    """Starts the program, types the shutdown fields for "now" and presses Enter; returns the app and the
    fields typed."""
    fields = shutdown_fields(c.time_inside_day(), wait, snooze)
    app = c.launch()
    for name, text in zip(FIELDS, fields):
        app.replace_text(name, text)
    app.press(VK_RETURN)
    c.require(app.wait_hidden(), "Enter did not hide the window")
    return app, fields


def check_question(c, app, box, fields, index):
    c.require(box, "question %d did not come up" % index)
    c.equal(box["message"], shutdown_message(fields), "question %d text" % index)
    c.equal(box["button_ids"], [IDOK, IDCANCEL], "question %d buttons" % index)
    calls = app.program.wait_call("MessageBoxA", count=index)
    if c.expect(len(calls) >= index, "question %d not in the trace" % index):
        call = calls[index - 1]
        c.equal((call.args[1], call.args[2], int(call.args[3], 16)),
                (shutdown_message(fields), "关机", 0x50021 | MB_TASKMODAL), "question %d MessageBoxA call" % index)


def case_schedule_waits_while_visible(c):
    """With "now" in the saved interval, a visible window asks nothing; hiding it with Ctrl+F12 starts the
    check and the shutdown question comes up; showing it again while the box is open stops nothing else."""
    fields = shutdown_fields(c.time_inside_day(), 30, 30)
    app = c.launch(settings=settings_bytes(dict(zip(KEYS, fields))))
    c.equal(app.field_texts(), fields, "fields loaded")
    c.expect(c.no_box("关机", 3), "the question came up while the window was visible")
    r = app.toggle()
    c.require(not r["last"], "Ctrl+F12 did not hide the window")
    box = c.box("关机", timeout=10)
    check_question(c, app, box, fields, 1)
    c.answer(box, IDCANCEL)
    c.expect(c.no_box("关机", 3), "the question came back within the 30-minute snooze")
    c.expect(not app.program.calls("ExitWindowsEx"), "power-off requested after Cancel")


def case_shutdown_cancel_snooze(c):
    """Hidden inside the interval, the shutdown question comes up with its exact text, title and flags;
    Cancel with a snooze of 0 brings it back at once."""
    app, fields = arm_shutdown(c, wait=30, snooze=0)
    box = c.box("关机", timeout=10)
    check_question(c, app, box, fields, 1)
    c.session.screenshot("shutdown_question")
    c.answer(box, IDCANCEL)
    again = c.box("关机", timeout=10, **{"not": box["hwnd"]})
    check_question(c, app, again, fields, 2)
    first, second = app.program.calls("MessageBoxA")[:2]
    c.equal(first.retval, IDCANCEL, "first question's answer")
    if first.retval is not None:
        c.note("asked again %.2f s after Cancel" % (second.time - first.ret_time))
    c.expect(not app.program.calls("ExitWindowsEx"), "power-off requested without OK or timeout")
    c.expect(app.program.alive(), "program ended")


def expect_power_off(c, app, after):
    """The forced power-off: ExitWindowsEx(EWX_POWEROFF|EWX_FORCE, 0) in the trace, then the Wine session
    ends, the program and the driver with it."""
    calls = app.program.wait_call("ExitWindowsEx", timeout=40)
    c.require(calls, "no ExitWindowsEx call")
    c.equal(calls[0].args, ["0000000c", "00000000"], "ExitWindowsEx arguments")
    c.expect(app.program.exit_code(timeout=30) is not None, "the program still runs after the power-off")
    try:
        c.driver.call("ping")
        c.expect(False, "the driver survived the forced power-off")
    except DriverGone:
        pass
    return calls[0]


def case_shutdown_ok(c):
    """OK on the shutdown question requests the forced power-off at once."""
    app, fields = arm_shutdown(c, wait=30, snooze=30)
    box = c.box("关机", timeout=10)
    check_question(c, app, box, fields, 1)
    try:
        c.answer(box, IDOK)
    except DriverGone:
        pass  # the power-off may end the session before the driver answers
    call = expect_power_off(c, app, box)
    asked = app.program.calls("MessageBoxA")[0]
    c.note("ExitWindowsEx %.2f s after the question" % (call.time - asked.time))
    c.expect(call.time - asked.time < 20, "ExitWindowsEx %.1f s after the question" % (call.time - asked.time))


def case_shutdown_countdown(c):
    """Unanswered, the shutdown question powers off after the waiting time: with 3 seconds the request
    comes about 2 seconds after the box opens (the first countdown tick comes at once)."""
    app, fields = arm_shutdown(c, wait=3, snooze=30)
    box = c.box("关机", timeout=10)
    check_question(c, app, box, fields, 1)
    call = expect_power_off(c, app, box)
    asked = app.program.calls("MessageBoxA")[0]
    delay = call.time - asked.time
    c.note("ExitWindowsEx %.2f s after MessageBoxA" % delay)
    c.expect(1.5 <= delay <= 3.5, "power-off %.2f s after the question, expected about 2 s" % delay)
    c.equal(asked.retval, None, "the question box was answered")


def case_logoff_query(c):
    """A log-off query (wineboot --end-session) brings up the exit question and is refused: Cancel keeps
    the program and wineboot reports the refusal; OK ends the program with exit code 0."""
    app = c.launch()
    for index, button in enumerate((IDCANCEL, IDOK)):
        wineboot = c.session.run_wine("wineboot", "--end-session", "--shutdown")
        box = c.box("警告", timeout=5)
        c.require(box, "logoff[%d]: no exit question" % index)
        c.equal(box["message"], "即将关闭软件？", "logoff[%d]: message" % index)
        c.answer(box, button)  # quickly: wineboot shows its own waiting dialog after about 5 s
        try:
            code = wineboot.wait(timeout=20)
        except Exception:
            code = None
            wineboot.kill()
        if button == IDCANCEL:
            c.equal(code, 1, "logoff[%d]: wineboot's exit code (1: the query was refused)" % index)
            c.expect(app.program.alive() and app.visible(), "logoff[%d]: Cancel did not keep the window" % index)
        else:
            c.note("wineboot's exit code after OK: %s" % code)
            c.equal(app.program.exit_code(timeout=10), 0, "logoff[%d]: program exit code after OK" % index)
    c.equal([b[:3] for b in app.message_boxes()], [("即将关闭软件？", "警告", 49 | MB_TASKMODAL)] * 2,
            "traced MessageBoxA calls")


def case_idle_cost(c):
    """Hidden and waiting, the program costs little: CPU of the program and of the prefix's wineserver
    over 10 s (the keyboard poll runs every 10 ms). Measured without the relay trace, which is costly."""
    app = c.launch(trace=False)
    app.press(VK_RETURN)  # empty hour: the schedule check stops at its first tick; only the poll runs
    c.require(app.wait_hidden(), "Enter did not hide the window")
    server = c.session.wineserver_pid()
    c.require(server, "no wineserver found for the prefix")
    time.sleep(1)
    pids = [app.program.process.pid, server]
    before, started = [cpu_seconds(p) for p in pids], time.monotonic()
    time.sleep(10)
    after, elapsed = [cpu_seconds(p) for p in pids], time.monotonic() - started
    program_share, server_share = [(a - b) / elapsed * 100 for a, b in zip(after, before)]
    memory = c.driver.call("resources", pid=app.pid)
    c.note("idle CPU: program %.1f%%, wineserver %.1f%% of a core; working set %.1f MB" % (
        program_share, server_share, memory["working_set"] / 2**20))
    c.expect(program_share + server_share < 8, "idle CPU %.1f%% + %.1f%% of a core" % (program_share, server_share))
    c.expect(app.program.alive(), "program ended")


def case_contact_line(c):
    """A click on the contact line opens its address through the shell's open verb, shown normally; the
    window stays as it was."""
    app = c.launch()
    app.click("透明标签1")
    calls = app.program.wait_call("ShellExecuteA", timeout=10)
    if c.expect(len(calls) == 1, "ShellExecuteA calls after one click: %r" % calls):
        args = calls[0].args
        c.equal((args[1], args[3], args[4], int(args[5], 16)), ("open", "00000000", "00000000", 1),
                "ShellExecuteA verb, parameters, directory, show command")
        c.expect(args[2] not in ("", "00000000"), "ShellExecuteA without an address: %r" % args)
    c.expect(app.program.alive() and app.visible(), "the window did not stay after the click")
    c.expect(not app.message_boxes(), "a question came up: %r" % app.message_boxes())


CASES = {
    "startup_and_layout": case_startup_and_layout,
    "settings_load": case_settings_load,
    "filter_and_paste": case_filter_and_paste,
    "tab_order": case_tab_order,
    "enter_saves_and_hides": case_enter_saves_and_hides,
    "save_failure_warns": case_save_failure_warns,
    "exit_question": case_exit_question,
    "hotkey": case_hotkey,
    "second_copy": case_second_copy,
    "schedule_waits_while_visible": case_schedule_waits_while_visible,
    "shutdown_cancel_snooze": case_shutdown_cancel_snooze,
    "shutdown_ok": case_shutdown_ok,
    "shutdown_countdown": case_shutdown_countdown,
    "logoff_query": case_logoff_query,
    "contact_line": case_contact_line,
    "idle_cost": case_idle_cost,
}
