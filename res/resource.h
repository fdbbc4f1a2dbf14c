#pragma once
// Resource and command IDs of the operator window. The numbers are fixed: the
// command IDs are what the menu, toolbar, shortcuts and routing exchange.

#define IDR_MAINFRAME 128
#define IDD_ABOUTBOX 100
#define IDB_STATE_LAMPS 130
#define IDD_STARTUP 131
#define IDD_POKE 132

#define IDC_VERIFY_NOW 1000
#define IDC_ADDRESS 1001
#define IDC_READ 1002
#define IDC_DATA 1003
#define IDC_CHANNEL_LIST 1001

#define ID_REFRESH 32771
#define ID_VERIFY_ALL 32772
#define ID_POKE 32773
#define ID_EXPORT_REPORT 32774
#define ID_GPIB_DEVICE_CLEAR 40000

// Framework command IDs.
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393

#define ID_SEPARATOR 0
#define ID_INDICATOR_CAPS 59137
#define ID_INDICATOR_NUM 59138
#define ID_INDICATOR_SCRL 59139

#define AFX_IDS_APP_TITLE 57344
#define AFX_IDS_IDLEMESSAGE 57345
#define AFX_IDS_ALLFILTER 61442
#define AFX_IDW_PANE_FIRST 59648
#define AFX_IDW_TOOLBAR 59392
#define AFX_IDW_STATUS_BAR 59393
