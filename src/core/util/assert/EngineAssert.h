#pragma once
// The engine's assertion report: checks of the engine's own invariants print what failed, where
// and in which function on standard output, then stop the program through the always-on assert.
#include <string>
#include <string_view>

namespace ztengine {

// Prints the report on standard output (flushed line by line, so nothing is lost when the output
// is a pipe) and aborts. `function` may be a raw __PRETTY_FUNCTION__ text: the report shows only
// its qualified name.
[[noreturn]] void EngineAssertFailed(const char* expression, const char* function, int line,
                                     const char* file);

// Does nothing when `condition` holds; otherwise reports and aborts.
inline void EngineAssertCheck(bool condition, const char* expression, const char* function,
                              int line, const char* file)
{
    if (!condition) [[unlikely]]
        EngineAssertFailed(expression, function, line, file);
}

// Reduces a compiler's full signature ("T& ns::Class::Method(int) const [with T = X]") to the
// qualified name ("ns::Class::Method"); text it cannot parse comes back unchanged.
std::string QualifiedFunctionName(std::string_view prettyFunction);

}  // namespace ztengine

// Variadic so that a condition with a template argument list (a<b, c>) needs no extra brackets.
#define EngineAssert(...)                                                                     \
    ::ztengine::EngineAssertCheck(static_cast<bool>(__VA_ARGS__), #__VA_ARGS__,               \
                                  __PRETTY_FUNCTION__, __LINE__, __FILE__)
