/* Resource ids shared by the resource script and the code. Plain C: no Windows header. */
#ifndef TARNWELL_RES_RESOURCE_H
#define TARNWELL_RES_RESOURCE_H

/* Dialog templates */
#define IDD_ABOUTBOX 100
#define IDD_TARNWELL_DIALOG 102
#define IDD_OPTIONS 129
#define IDD_ACTION 131
#define IDD_HISTORY 140

/* Icons: the application, and the tray's host-alive, host-dead, waiting and host-slow icons */
#define IDR_MAINFRAME 128
#define IDI_TRAY_ALIVE 129
#define IDI_TRAY_DEAD 130
#define IDI_TRAY_WAITING 131
#define IDI_TRAY_SLOW 132

/* Animated button strips */
#define IDB_BUTTON_OK 130
#define IDB_BUTTON_CANCEL 151
#define IDB_BUTTON_ABOUT 135
#define IDB_BUTTON_HOMEPAGE 159
#define IDB_BUTTON_BANNER 160

/* Status lights, 11 x 8 pixels at 100 % */
#define IDB_LIGHT_RED 133
#define IDB_LIGHT_GREEN 162
#define IDB_LIGHT_FLASH 163
#define IDB_LIGHT_GREY 164
#define IDB_LIGHT_AMBER 165

/* The strips and lights drawn for 150 % and 200 % scaling: the 100 % id plus 1000 or 2000 */
#define IDB_BUTTON_OK_150 1130
#define IDB_BUTTON_CANCEL_150 1151
#define IDB_BUTTON_ABOUT_150 1135
#define IDB_BUTTON_HOMEPAGE_150 1159
#define IDB_BUTTON_BANNER_150 1160
#define IDB_LIGHT_RED_150 1133
#define IDB_LIGHT_GREEN_150 1162
#define IDB_LIGHT_FLASH_150 1163
#define IDB_LIGHT_GREY_150 1164
#define IDB_LIGHT_AMBER_150 1165
#define IDB_BUTTON_OK_200 2130
#define IDB_BUTTON_CANCEL_200 2151
#define IDB_BUTTON_ABOUT_200 2135
#define IDB_BUTTON_HOMEPAGE_200 2159
#define IDB_BUTTON_BANNER_200 2160
#define IDB_LIGHT_RED_200 2133
#define IDB_LIGHT_GREEN_200 2162
#define IDB_LIGHT_FLASH_200 2163
#define IDB_LIGHT_GREY_200 2164
#define IDB_LIGHT_AMBER_200 2165

/* Strings */
#define IDS_ABOUTBOX 101
#define IDS_HISTORY 110

/* System-menu command of the About item */
#define IDM_ABOUTBOX 0x0010
/* System-menu command of the History item (and Ctrl+H) */
#define IDM_HISTORY 0x0020

/* History window controls */
#define IDC_HISTORY_10_MINUTES 1100
#define IDC_HISTORY_1_HOUR 1101
#define IDC_HISTORY_24_HOURS 1102
#define IDC_HISTORY_PICTURE 1103
#define IDC_HISTORY_FIGURES 1104
#define IDC_HISTORY_EVENTS_LABEL 1105
#define IDC_HISTORY_EVENTS 1106
#define IDC_HISTORY_COPY 1107
#define IDC_HISTORY_SAVE 1108
#define IDC_HISTORY_FIND_STOP 1135

/* Commands of the tray icon's menu, in menu order */
#define ID_TRAY_SHOW_HIDE 32771
#define ID_TRAY_OPTIONS 32772
#define ID_TRAY_HISTORY 32773
#define ID_TRAY_MUTE 32774
#define ID_TRAY_ABOUT 32775
#define ID_TRAY_EXIT 32776
#define ID_TRAY_FIND_STOP 32835

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
#define IDC_START_AT_SIGN_IN 1040
#define IDC_SLOW_ACTION 1041
#define IDC_SLOW_ROUND_TRIP 1042
#define IDC_SLOW_LOSS 1043

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
#define IDC_NOTIFY_CHECK 1026
#define IDC_NOTIFY_TEST 1027

/* About box controls */
#define IDC_HOMEPAGE 1018
#define IDC_PRODUCT_PAGE 1060

#endif
