#include <cstdio>

int main()
{
    std::puts("lumo-convert: not built yet");
    return 0;
}
