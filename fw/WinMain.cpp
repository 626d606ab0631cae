// Process entry of the executable: the application object was constructed by
// the static initialisers; the role comes from the runtime's argument vector.
// Before anything can load a DLL by name, the search is limited to the system
// folder.
#include "fw/System.h"
#include "fw/WinApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    LimitDllSearch();
    return AfxWinMain();
}
