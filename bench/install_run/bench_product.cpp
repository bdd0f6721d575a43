// Stands in for the product that a run starts at its end: it has a version
// resource (the run checks it when the product is fetched) and ends at once.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
