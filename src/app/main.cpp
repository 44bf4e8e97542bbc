#include "app/startup.h"

#ifdef _WIN32
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunGame();
}
#else
int main() {
    return RunGame();
}
#endif
