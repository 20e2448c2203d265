// Resource identifiers of the control hosting tests (hosting_tests.rc).
#pragma once

#define IDD_HOST_EX 3001       // DIALOGEX: button, browser control, button
#define IDD_HOST_PLAIN 3002    // DIALOG: browser control first, then a button
#define IDD_HOST_UNKNOWN 3003  // DIALOGEX: a control class identifier nobody registered
#define IDD_HOST_HTML 3004     // resizable dialog for the HTML view, no controls
#define IDD_HOST_NOINIT 3005   // DIALOGEX: browser control without dialog-init data

#define IDC_HOST_BEFORE 3101
#define IDC_HOST_BROWSER 1005
#define IDC_HOST_AFTER 3102

#define IDR_HOST_PAGE 3201

#define HOST_BROWSER_CLASS "{8856F961-340A-11D0-A96B-00C04FD705A2}"
#define HOST_UNKNOWN_CLASS "{0BADC0DE-1234-5678-9ABC-DEF012345678}"
