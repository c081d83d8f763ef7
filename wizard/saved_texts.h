// Texts of the wizard's Next and Cancel buttons, saved when the frame first
// changes them.
#pragma once
#include <string>

extern std::string SavedNextText;
extern std::string SavedCancelText;
