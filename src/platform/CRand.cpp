#include "platform/CRand.h"

#include <cstdint>

namespace ztplatform {

namespace {
uint32_t g_randState = 1;
}

int Rand()
{
    g_randState = g_randState * 214013u + 2531011u;
    return static_cast<int>((g_randState >> 16) & 0x7FFFu);
}

void Srand(unsigned seed)
{
    g_randState = seed;
}

}  // namespace ztplatform
