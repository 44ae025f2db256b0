#include <cstdio>

int main()
{
    std::printf("GrelvokVoskDungeon\n");
    std::fflush(stdout);
    return 0;
}
