// Ids of MainWindow's template: the window's own item and its controls.
#pragma once

#include <cstdint>

enum class Ctl : uint32_t {
  MainWindow = 0x06010002,  // the window itself, where a control is asked for
  编辑框1 = 0x16010007,
  标签1 = 0x1601000F,
  编辑框2 = 0x1601002F,
  标签2 = 0x16010010,
  标签5 = 0x16010032,
  编辑框3 = 0x16010030,
  标签3 = 0x16010011,
  标签7 = 0x16010033,
  编辑框4 = 0x16010031,
  标签4 = 0x16010012,
  标签9 = 0x16010093,
  编辑框5 = 0x16010092,
  标签8 = 0x16010091,
  按钮1 = 0x1601000D,
  按钮2 = 0x1601000E,
  透明标签1 = 0x16010079,
  标签6 = 0x16010020,
  时钟1 = 0x1601001E,
  时钟2 = 0x1601001F,
  时钟3 = 0x16010090,
};

inline constexpr uint32_t kMainWindowTemplateId = 0x52010003;
