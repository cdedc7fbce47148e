#pragma once
// Resource numbers of NetworkView.exe.
#define IDB_ACTION 101

// The one-line input dialog.
#define IDD_INPUTQUERY 201
#define IDC_INPUT_PROMPT 1001
#define IDC_INPUT_VALUE 1002
