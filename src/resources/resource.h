#pragma once
// Resource ids of the plug-in's dialogs, icon and controls.

#define IDI_STATS 113

#define IDD_CABRILLO 101
#define IDD_SETUP 104
#define IDD_MULTIPLIER 105
#define IDD_STAT_PROV 115
#define IDD_MULTIPLIER_MULT 116
#define IDD_AS_DXCC 117
#define IDD_AF_DXCC 118
#define IDD_WAE_ALL 119
#define IDD_OC_DXCC 120
#define IDD_SA_DXCC 121
#define IDD_NA_DXCC 122
#define IDD_CHANGE_BAND 123
#define IDD_CQ_ZONES 124
#define IDD_SETUP_ZONES 125

// ---- Cabrillo header dialog (IDD_CABRILLO) --------------------------------------------------------------
// Its combo-box lists are the dialog's initialisation data: resource type RT_DLGINIT_DATA, name
// IDD_CABRILLO, entries of control id (WORD), DLGINIT_ADDSTRING (WORD), length (DWORD) and the
// zero-terminated text, ended by a zero WORD.
#define RT_DLGINIT_DATA 240
#define DLGINIT_ADDSTRING 0x403
#define IDC_CAB_SOAPBOX 1001
#define IDC_CAB_ADDRESS 1002
#define IDC_CAB_ADDRESS_CITY 1003
#define IDC_CAB_EMAIL 1004
#define IDC_CAB_CLUB 1005
#define IDC_CAB_OPERATORS 1006
#define IDC_CAB_NAME 1007
#define IDC_CAB_CLAIMED 1008
#define IDC_CAB_CONTEST 1009
#define IDC_CAB_CALLSIGN 1010
#define IDC_CAB_ADDRESS_STATE_PROVINCE 1011
#define IDC_CAB_ADDRESS_POSTALCODE 1012
#define IDC_CAB_CATEGORY_OPERATOR 1013
#define IDC_CAB_CATEGORY_BAND 1014
#define IDC_CAB_ADDRESS_COUNTRY 1015
#define IDC_CAB_CATEGORY_ASSISTED 1016
#define IDC_CAB_CATEGORY_MODE 1017
#define IDC_CAB_CATEGORY_POWER 1021
#define IDC_CAB_CATEGORY_TRANSMITTER 1022
#define IDC_CAB_CATEGORY_OVERLAY 1023
#define IDC_CAB_LOCATION 1024
#define IDC_CAB_CATEGORY_STATION 1025
// ---- end of the Cabrillo header dialog ------------------------------------------------------------------

// ---- Status windows: control window (104; 125 where the contest counts zones), DXCC windows (105, 116, pages
// ---- 117-122), State/Province (115), change of band (123), CQ zones (124). Ids repeat between dialogs; each
// ---- name belongs to one dialog.

// Setup_ARRL_RTTY (104, 125)
#define IDC_SETUP_RTTY 1003
#define IDC_SETUP_BPSK31 1004
#define IDC_SETUP_BPSK63 1005
#define IDC_SETUP_AMTOR 1006
#define IDC_SETUP_PACKET 1007
#define IDC_SETUP_VIEW_STATE 1015
#define IDC_SETUP_VIEW_DXCC 1016
#define IDC_SETUP_VIEW_DXCC_EXTENDED 1017
#define IDC_SETUP_VIEW_TIMER 1018
#define IDC_SETUP_VIEW_ZONES 1019
#define IDC_SETUP_VIEW_LABEL 1027
#define IDC_SETUP_MODE_LABEL 1028

// Multiplier (105): the drawn panel
#define IDC_MULTIPLIER_PANEL 1016

// Multiplier_Mult (116): the continent tabs; the pages' boxes are numbered from 1015 in list order
#define IDC_MULTIPLIER_TABS 1114
#define IDC_DXCC_PAGE_FIRST_BOX 1015

// Stat_Prov (115): cell i has id 1016 + i for i 0..61, cell 62 has 1113
#define IDC_STATE_FIRST_CELL 1016
#define IDC_STATE_LAST_CELL 1077
#define IDC_STATE_DC 1113

// CQ_Zones (124): the cell of zone z has id 1200 + z
#define IDC_ZONE_FIRST_CELL 1201

// Change_Band (123)
#define IDC_CHANGE_BAND_COUNT 1000
#define IDC_CHANGE_BAND_MINUTES 1001
#define IDC_CHANGE_BAND_MINUTES_LABEL 1025
#define IDC_CHANGE_BAND_LABEL 1026

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
