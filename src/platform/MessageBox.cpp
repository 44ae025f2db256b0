#include "platform/MessageBox.h"

#include <cstdio>

namespace ztplatform {

void ShowMessageBox(const std::string& title, const std::string& text)
{
    if (title.empty())
        std::fprintf(stderr, "%s\n", text.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
}

}  // namespace ztplatform
