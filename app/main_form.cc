#include "app/main_form.h"

#ifndef ZENTAVO_CONTACT_TEXT
#define ZENTAVO_CONTACT_TEXT "打开程序目录"
#endif
#ifndef ZENTAVO_CONTACT_ADDRESS
#define ZENTAVO_CONTACT_ADDRESS "."
#endif

const Text& ContactText() {
  static const Text text = ZENTAVO_CONTACT_TEXT;
  return text;
}

const Text& ContactAddress() {
  static const Text address = ZENTAVO_CONTACT_ADDRESS;
  return address;
}

const FormSpec& MainForm() {
  using K = ControlKind;
  static const FormSpec form{
      kMainWindowTemplateId,
      kMainWindowTitle,
      271,
      150,
      {
          // id, kind, left, top, width, height, text, tag, visible, tab stop, default button, period
          {Ctl::编辑框1, K::kEdit, 27, 17, 20, 20, "", "时", true, true},
          {Ctl::标签1, K::kLabel, 55, 15, 12, 24, "时", ""},
          {Ctl::编辑框2, K::kEdit, 75, 17, 20, 20, "", "分", true, true},
          {Ctl::标签2, K::kLabel, 107, 15, 12, 24, "分", ""},
          {Ctl::标签5, K::kLabel, 19, 43, 50, 24, "等待时间", ""},
          {Ctl::编辑框3, K::kEdit, 73, 45, 30, 20, "30", "时", true, true},
          {Ctl::标签3, K::kLabel, 107, 43, 12, 24, "秒", ""},
          {Ctl::标签7, K::kLabel, 19, 66, 50, 24, "有效时间", ""},
          {Ctl::编辑框4, K::kEdit, 73, 68, 30, 20, "120", "时", true, true},
          {Ctl::标签4, K::kLabel, 107, 66, 45, 24, "分钟内", ""},
          {Ctl::标签9, K::kLabel, 20, 88, 36, 24, "取消后", ""},
          {Ctl::编辑框5, K::kEdit, 58, 90, 30, 20, "30", "时", true, true},
          {Ctl::标签8, K::kLabel, 92, 88, 76, 24, "分钟后再提醒", ""},
          {Ctl::按钮1, K::kButton, 169, 11, 80, 32, "设 置/隐 藏", "", true, true, true},
          {Ctl::按钮2, K::kButton, 169, 67, 80, 32, "退出软件", "", true, true},
          {Ctl::透明标签1, K::kTransparentLabel, 187, 104, 72, 12, ContactText(), ""},
          {Ctl::标签6, K::kLabel, 0, 14, 80, 24, "2000年1月1日", "0秒", false},
          {Ctl::时钟1, K::kTimer, 128, 16, 26, 26, "", "", false, false, false, 1},
          {Ctl::时钟2, K::kTimer, 128, 56, 26, 26, "", "", false, false, false, 0},
          {Ctl::时钟3, K::kTimer, 168, 32, 26, 26, "", "", false, false, false, 0},
      },
      {Ctl::编辑框1, Ctl::按钮1, Ctl::按钮2, Ctl::编辑框2, Ctl::编辑框3, Ctl::编辑框4, Ctl::编辑框5},
  };
  return form;
}
