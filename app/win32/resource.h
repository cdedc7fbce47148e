#pragma once
// Resource numbers of NetworkView.exe.
#define IDB_ACTION 101
