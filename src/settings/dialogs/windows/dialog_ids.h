// The dialogs' resource ids and their controls' places in client pixels (left, top, width,
// height), shared by the resource script and the code: the script lays the dialogs out in
// dialog units from these numbers, and the windows put every control at its exact pixels
// when they open.
#pragma once

#define IDD_SETTEI 100
#define IDD_PICTURE_SELECT 101
// The banner of the settings dialog, a PNG drawn by the Linux build (RCDATA).
#define IDR_BANNER 200

#define IDC_LABEL1 1001
#define IDC_LABEL2 1002
#define IDC_LABEL3 1003
#define IDC_TRACKBAR_SPEED 1004
#define IDC_LABEL4 1005
#define IDC_LABEL5 1006
#define IDC_LABEL6 1007
#define IDC_TRACKBAR_WAIT_TIME 1008
#define IDC_CHECKBOX_IKISAKI 1009
#define IDC_CHECKBOX_IMI_HYOJI 1010
#define IDC_RADIOGROUP_BGM 1011
#define IDC_RADIO_BGM_0 1012
#define IDC_RADIO_BGM_1 1013
#define IDC_RADIO_BGM_2 1014
#define IDC_BTN_SINGLE 1015
#define IDC_LBL_MUSIC_NAME 1016
#define IDC_BTN_RANDOM 1017
#define IDC_LBL_RANDOM_FOLDA 1018
#define IDC_LBL_KAKUNIN 1019
#define IDC_CHECKBOX_HAIKEI 1020
#define IDC_BTN_HAIKEI 1021
#define IDC_BTN_TUIKA 1022
#define IDC_CHECKBOX_YUSEN 1023
#define IDC_CHECKBOX_QUARNEL 1024
#define IDC_CHECKBOX_BRISOLT 1025
#define IDC_BTN_FONT 1026
#define IDC_LBL_FONT_NAME 1027
#define IDC_BTN_HELP 1028
#define IDC_IMAGE1 1029
#define IDC_LBL_URL 1030

#define IDC_PS_LABEL1 1101
#define IDC_PS_BTN_SANSHO 1102
#define IDC_PS_BTN_DEL 1103
#define IDC_PS_LISTBOX1 1104
#define IDC_PS_IMAGE1 1105

// The settings dialog: client area 498 x 480.
#define SETTEI_CLIENT 498, 480
#define AT_LABEL1 15, 12, 200, 18
#define AT_LABEL2 30, 26, 30, 14
#define AT_LABEL3 207, 23, 30, 14
#define AT_TRACKBAR_SPEED 30, 41, 200, 40
#define AT_LABEL4 15, 84, 232, 18
#define AT_LABEL5 31, 106, 16, 14
#define AT_LABEL6 215, 106, 16, 14
#define AT_TRACKBAR_WAIT_TIME 30, 121, 200, 40
#define AT_CHECKBOX_IKISAKI 18, 164, 215, 23
#define AT_CHECKBOX_IMI_HYOJI 18, 188, 215, 23
#define AT_RADIOGROUP_BGM 15, 217, 215, 75
#define AT_RADIO_BGM_0 23, 234, 203, 19
#define AT_RADIO_BGM_1 23, 253, 203, 19
#define AT_RADIO_BGM_2 23, 272, 203, 19
#define AT_BTN_SINGLE 81, 298, 149, 38
#define AT_LBL_MUSIC_NAME 19, 339, 215, 42
#define AT_BTN_RANDOM 81, 387, 149, 38
#define AT_LBL_RANDOM_FOLDA 15, 428, 215, 53
#define AT_LBL_KAKUNIN 18, 447, 213, 21
#define AT_CHECKBOX_HAIKEI 257, 17, 215, 23
#define AT_BTN_HAIKEI 338, 47, 148, 38
#define AT_BTN_TUIKA 257, 98, 148, 38
#define AT_CHECKBOX_YUSEN 266, 140, 215, 23
#define AT_CHECKBOX_QUARNEL 266, 170, 215, 23
#define AT_CHECKBOX_BRISOLT 266, 202, 215, 23
#define AT_BTN_FONT 257, 234, 148, 38
#define AT_LBL_FONT_NAME 266, 275, 80, 16
#define AT_BTN_HELP 257, 300, 148, 38
#define AT_IMAGE1 237, 408, 254, 43
#define AT_LBL_URL 243, 457, 252, 13

// The wallpaper dialog: client area 476 x 296 at screen position (171, 102).
#define PICTURE_SELECT_CLIENT 476, 296
#define PICTURE_SELECT_POSITION 171, 102
#define AT_PS_LABEL1 15, 7, 451, 53
#define AT_PS_BTN_SANSHO 15, 74, 52, 30
#define AT_PS_BTN_DEL 15, 126, 52, 30
#define AT_PS_LISTBOX1 74, 74, 392, 134
#define AT_PS_IMAGE1 273, 222, 134, 67

// Pixels as dialog units for a 12 pixel dialog font (about 6 x 12 pixels per character:
// 4 units across and 8 down each); the windows correct the rest when they open.
#define DLU(...) DLU_(__VA_ARGS__)
#define DLU_(x, y, w, h) (x) * 2 / 3, (y)*2 / 3, (w)*2 / 3, (h)*2 / 3
