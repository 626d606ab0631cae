// The one application object of vlm.scr.
#include "app/SaverApp.h"

CSaverApp theApp;
