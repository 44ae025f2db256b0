// The engine's assertion report and the reduction of a compiler signature to a qualified name.
#include "core/util/assert/EngineAssert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/util/assert/AppAssert.h"

namespace ztengine {

namespace {

bool StartsWith(std::string_view text, size_t at, std::string_view prefix)
{
    return text.substr(at, prefix.size()) == prefix;
}

bool IsIdentifierChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

std::string QualifiedFunctionName(std::string_view pretty)
{
    // Drop GCC's " [with T = ...]" tail first: it holds brackets and blanks of its own.
    if (const size_t with = pretty.rfind(" [with "); with != std::string_view::npos)
        pretty = pretty.substr(0, with);

    // Find the bracket that opens the parameter list, at nesting depth 0. The name starts after
    // the last blank at depth 0 before it (the blank that ends the return type).
    int angle = 0;
    int round = 0;
    size_t nameStart = 0;
    size_t paramOpen = std::string_view::npos;
    for (size_t i = 0; i < pretty.size() && paramOpen == std::string_view::npos; ++i) {
        const char c = pretty[i];
        if (angle == 0 && round == 0) {
            if (StartsWith(pretty, i, "(anonymous namespace)")) {
                i += std::strlen("(anonymous namespace)") - 1;
                continue;
            }
            // "operator()", "operator<", "operator bool" ...: the operator's own symbols are no
            // brackets; the parameter list is the next '(' after them.
            const bool wordStart = i == 0 || !IsIdentifierChar(pretty[i - 1]);
            if (wordStart && StartsWith(pretty, i, "operator") &&
                !IsIdentifierChar(i + 8 < pretty.size() ? pretty[i + 8] : ' ')) {
                size_t j = i + 8;
                if (StartsWith(pretty, j, "()"))
                    j += 2;
                else if (StartsWith(pretty, j, "[]"))
                    j += 2;
                j = pretty.find('(', j);
                if (j == std::string_view::npos)
                    return std::string(pretty);
                paramOpen = j;
                break;
            }
            if (c == ' ') {
                nameStart = i + 1;
                continue;
            }
            if (c == '(') {
                paramOpen = i;
                break;
            }
        }
        if (c == '<')
            ++angle;
        else if (c == '>' && angle > 0)
            --angle;
        else if (c == '(')
            ++round;
        else if (c == ')' && round > 0)
            --round;
    }
    if (paramOpen == std::string_view::npos || paramOpen <= nameStart)
        return std::string(pretty);
    std::string_view name = pretty.substr(nameStart, paramOpen - nameStart);
    // A pointer or reference return type written against the name ("int *f") is not the name.
    while (!name.empty() && (name.front() == '*' || name.front() == '&'))
        name.remove_prefix(1);
    return std::string(name);
}

void EngineAssertFailed(const char* expression, const char* function, int line, const char* file)
{
    const std::string name = QualifiedFunctionName(function ? function : "");
    std::printf("Sorry I fucked up: (%s) at function: %s at line: %d\n", expression, name.c_str(),
                line);
    std::fflush(stdout);
    std::printf(" File: %s\n", file);
    std::fflush(stdout);
    std::printf("\n");
    std::fflush(stdout);
    assert(false);
    std::abort();  // unreachable: assert is always active; keeps [[noreturn]] honest
}

}  // namespace ztengine
