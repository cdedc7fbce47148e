#pragma once
// Resource numbers of NetworkView.exe.
#define IDB_ACTION 101
// The link label's pointing hand.
#define IDC_HANDPOINT 8888
// The about box's card is the bitmap named "visitenkarte".

// The one-line input dialog.
#define IDD_INPUTQUERY 201
#define IDC_INPUT_PROMPT 1001
#define IDC_INPUT_VALUE 1002

// The program's own logon dialog, where the system offers none.
#define IDD_LOGON 202
#define IDC_LOGON_REASON 1011
#define IDC_LOGON_USER 1012
#define IDC_LOGON_PASSWORD 1013
