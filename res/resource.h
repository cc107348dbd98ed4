// Identifiers shared by the resource script and the Windows program.
#ifndef ZERKON_RESOURCE_H
#define ZERKON_RESOURCE_H

#define IDM_ABOUTBOX 0x0010
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_ZERKON_DIALOG 102
#define IDR_MAINFRAME 128
#define IDC_SELECT_DP 1004
#define IDC_UPDATE_DP 1006
#define IDC_ABOUT 1007
#define IDC_RANGE 1010
#define IDC_ELEVATION 1011
#define IDC_DP_FILE 1014

// The class library's status-bar indicators; the dialog shows none of them, but the table carries them.
#define ID_INDICATOR_EXT 0xE700
#define ID_INDICATOR_CAPS 0xE701
#define ID_INDICATOR_NUM 0xE702
#define ID_INDICATOR_SCRL 0xE703
#define ID_INDICATOR_OVR 0xE704
#define ID_INDICATOR_REC 0xE705

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
