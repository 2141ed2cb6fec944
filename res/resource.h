/* Resource ids shared by the resource script and the code. Plain C: no Windows header. */
#ifndef TARNWELL_RES_RESOURCE_H
#define TARNWELL_RES_RESOURCE_H

/* Dialog templates */
#define IDD_ABOUTBOX 100
#define IDD_TARNWELL_DIALOG 102
#define IDD_OPTIONS 129
#define IDD_ACTION 131

/* Icons: the application, and the tray's host-alive, host-dead and waiting icons */
#define IDR_MAINFRAME 128
#define IDI_TRAY_ALIVE 129
#define IDI_TRAY_DEAD 130
#define IDI_TRAY_WAITING 131

/* Animated button strips */
#define IDB_BUTTON_OK 130
#define IDB_BUTTON_CANCEL 151
#define IDB_BUTTON_ABOUT 135
#define IDB_BUTTON_HOMEPAGE 159
#define IDB_BUTTON_BANNER 160

/* Status lights, 11 x 8 pixels */
#define IDB_LIGHT_RED 133
#define IDB_LIGHT_GREEN 162
#define IDB_LIGHT_FLASH 163
#define IDB_LIGHT_GREY 164

/* Strings */
#define IDS_ABOUTBOX 101

/* System-menu command of the About item */
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* Watch window controls */
#define IDC_EXIT 1000
#define IDC_HOST 1001
#define IDC_STATUS 1003
#define IDC_OPTIONS 1004
#define IDC_LIGHT 1021

/* Options dialog controls */
#define IDC_ABOUT 3
#define IDC_PERIOD 1005
#define IDC_CHECK_BREAK 1015
#define IDC_CHECK_MAKE 1016
#define IDC_MAKE_ACTION 1017
#define IDC_BREAK_ACTION 1018
#define IDC_HIDE 1019
#define IDC_ALWAYS_ON_TOP 1020

/* Action dialog controls */
#define IDC_SOUND_PATH 1009
#define IDC_SOUND_BROWSE 1010
#define IDC_SOUND_CHECK 1011
#define IDC_LAUNCH_CHECK 1012
#define IDC_LAUNCH_PATH 1013
#define IDC_LAUNCH_BROWSE 1014
#define IDC_LOG_PATH 1015
#define IDC_LOG_BROWSE 1016
#define IDC_LOG_CHECK 1017
#define IDC_SOUND_TEST 1023
#define IDC_LAUNCH_TEST 1024
#define IDC_LOG_TEST 1025

/* About box controls */
#define IDC_HOMEPAGE 1018
#define IDC_PRODUCT_PAGE 1060

#endif
