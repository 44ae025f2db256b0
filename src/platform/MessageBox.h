#pragma once
// The stand-in for the game's message boxes: the message goes to standard error as one line and
// the game carries on at once (nobody may be there to press OK).
#include <string>

namespace ztplatform {

// Writes "<title>: <text>" (just the text when the title is empty) as one line on standard error.
void ShowMessageBox(const std::string& title, const std::string& text);

}  // namespace ztplatform
