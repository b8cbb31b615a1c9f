// MainWindow's template: layout, stored texts and tags, tab order.
#pragma once

#include "platform/form.h"

inline constexpr char kMainWindowTitle[] = "Zentavo By：Morvil";

const FormSpec& MainForm();
// The contact line's text and the address it opens; build settings (see app/CMakeLists.txt).
const Text& ContactText();
const Text& ContactAddress();
