// Process entry of the executable: the application object was constructed by
// the static initialisers; the role comes from the runtime's argument vector.
#include "fw/WinApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return AfxWinMain(); }
