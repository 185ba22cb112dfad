#include <cstdio>

int main() {
    std::fprintf(stderr, "Orvane: not built yet\n");
    return 0;
}
