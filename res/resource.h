// Resource identifiers of vlm.scr.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDS_DESCRIPTION 1   // the name under which the desktop lists the saver
#define IDM_ABOUTBOX 0x0010 // the settings dialog's system-menu command
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101    // the settings dialog's system-menu entry
#define IDD_SETTINGS 102
#define IDR_MAINFRAME 128   // the icon of the dialogs
#define IDC_INVISIBLE 129   // the class cursor of every slide view

// Controls of the settings dialog.
#define IDC_FOLDER 1000
#define IDC_SPEED 1002
#define IDC_RESOLUTION 1004
#define IDC_PREVIEW 1006     // hidden; its rectangle is the live preview's
#define IDC_VERSION 1008
#define IDC_CHANGETIMES 1010
#define IDC_MIDI 1011
#define IDC_BROWSE_FOLDER 1012
#define IDC_BROWSE_MIDI 1013
#define IDC_VELMORA_MODE 1014
#define IDC_ADJUST_PICTURE_SIZE 1015
