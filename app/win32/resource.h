#pragma once
// Resource numbers of NetworkView.exe.
// The action button's glyph, drawn for 100, 150 and 200 percent.
#define IDB_ACTION 101
#define IDB_ACTION_150 102
#define IDB_ACTION_200 103
// The link label's pointing hand.
#define IDC_HANDPOINT 8888
// The about box's card is the bitmap named "visitenkarte", drawn for 100
// percent; "visitenkarte_150" and "visitenkarte_200" for 150 and 200.

// The one-line input dialog.
#define IDD_INPUTQUERY 201
#define IDC_INPUT_PROMPT 1001
#define IDC_INPUT_VALUE 1002

// The program's own logon dialog, where the system offers none.
#define IDD_LOGON 202
#define IDC_LOGON_REASON 1011
#define IDC_LOGON_USER 1012
#define IDC_LOGON_PASSWORD 1013
