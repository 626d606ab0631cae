// Resource identifiers of vlm.scr.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDS_DESCRIPTION 1   // the name under which the desktop lists the saver
#define IDS_ABOUTBOX 101    // the settings dialog's system-menu entry
#define IDC_INVISIBLE 129   // the class cursor of every slide view
