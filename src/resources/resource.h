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
