#include "core/util/Random.h"

#include <ctime>

#include "core/util/assert/AppAssert.h"
#include "platform/CRand.h"

namespace ztengine {

namespace {
uint32_t g_state18000 = 521288629u;
uint32_t g_state30903 = 362436069u;
}  // namespace

std::mt19937 g_mtEngineA{std::random_device{}()};
std::mt19937 g_mtEngineB{std::random_device{}()};

void SeedRandom()
{
    SeedRandom(static_cast<uint32_t>(std::time(nullptr)));
}

void SeedRandom(uint32_t timeSeconds)
{
    ztplatform::Srand(timeSeconds);
    const auto s = static_cast<uint32_t>(ztplatform::Rand());
    ztplatform::Srand(s);
    const auto a = static_cast<uint32_t>(ztplatform::Rand());
    // A zero state would stay zero forever: keep the old one instead.
    if (s != 0)
        g_state18000 = s;
    if (a != 0)
        g_state30903 = a;
}

uint32_t RandomUInt()
{
    const uint32_t w = 18000u * (g_state18000 & 0xFFFFu) + (g_state18000 >> 16);
    g_state18000 = w;
    const uint32_t z = 30903u * (g_state30903 & 0xFFFFu) + (g_state30903 >> 16);
    g_state30903 = z;
    return (w << 16) + (z & 0xFFFFu);
}

int32_t RandomRange(int32_t lo, int32_t hi)
{
    assert(lo <= hi);
    const uint32_t r = RandomUInt();
    const int64_t k = static_cast<int64_t>(r >> 1) - 1;
    const int64_t n = static_cast<int64_t>(hi) - lo + 1;
    // A non-negative remainder: the two outputs whose upper bits are all zero give k = -1 and
    // must still land in the range (on hi), as every caller indexes a list with the result.
    int64_t m = k % n;
    if (m < 0)
        m += n;
    return static_cast<int32_t>(lo + m);
}

RandomState GetRandomState()
{
    return {g_state18000, g_state30903};
}

void SetRandomState(const RandomState& state)
{
    g_state18000 = state.state18000;
    g_state30903 = state.state30903;
}

}  // namespace ztengine
