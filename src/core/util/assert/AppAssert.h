// The game's run-time assertion: the C library's assert, kept active in every build.
// Deliberately no include guard: <cassert> re-evaluates NDEBUG on every inclusion, so this
// header has to switch NDEBUG off each time it is included, even after another header that
// included <cassert> with NDEBUG set.
#undef NDEBUG
#include <cassert>
