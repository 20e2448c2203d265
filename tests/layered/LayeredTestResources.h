// Identifiers of the layered window tests' resources.
#pragma once

#define IDD_TEST_SKIN 100               // the translucent test dialog (has a caption)
#define IDD_TEST_COMPANION 110          // pop-up companion with ordinary controls
#define IDD_TEST_COMPANION_LAYERED 111  // the same, already layered in its template

#define IDC_TEST_EDIT 1001    // edit control of the translucent test dialog
#define IDC_TEST_BUTTON 1002  // push button of the translucent test dialog
#define IDC_COMPANION_TEXT 1101
#define IDC_COMPANION_EDIT 1102

#define IDR_TEST_SKIN 150               // PNG with alpha, 300x200
#define IDR_TEST_NOISE 151              // PNG, 192x192, incompressible
#define IDB_TEST_BITMAP 202             // bitmap, 40x30
#define IDB_TEST_SYSTEM_ID 32760        // a bitmap of ours that shares OBM_CHECK's identifier
#define IDR_TEST_NAMED_BITMAP_TYPE 301  // PNG stored under the type name "BITMAP"

#define TEST_SKIN_WIDTH 300
#define TEST_SKIN_HEIGHT 200
#define TEST_KEY_COLOUR RGB(0, 255, 0)
