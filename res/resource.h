// Resource identifiers of the Orvane client.
#ifndef ORVANE_RES_RESOURCE_H
#define ORVANE_RES_RESOURCE_H

// Dialog templates
#define IDD_TRANSLUCENT_DIALOG 102
#define IDD_STANDARD_DIALOG 103
#define IDD_GAME_DIALOG 150

// Start page of the game window's HTML view
#define IDR_GAME_HTML 106

// Images ("PNG" resources)
#define IDB_CLOSE_HOT 137
#define IDB_CLOSE 138
#define IDB_LOGIN_SKIN 158
#define IDB_MINIMIZE 159
#define IDB_MINIMIZE_HOT 160

// Link button bitmaps
#define IDB_HOMEPAGE 139
#define IDB_HOMEPAGE_HOT 140
#define IDB_FORUM 141
#define IDB_FORUM_HOT 142
#define IDB_PAY 143
#define IDB_PAY_HOT 144
#define IDB_SERVICE 145
#define IDB_SERVICE_HOT 147

// Icon
#define IDI_GAME 155

// Controls of the login panel
#define IDC_OFFICIAL_SITE 104
#define IDC_HIDDEN 105
#define IDC_CLOSE 1004
#define IDC_BROWSER 1005
#define IDC_HOMEPAGE 1006
#define IDC_PAY 1008
#define IDC_SERVICE 1009
#define IDC_FORUM 1010
#define IDC_MINIMIZE 1012

#endif
