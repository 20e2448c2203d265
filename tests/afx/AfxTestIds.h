// Resource identifiers shared by afx_tests.rc and the window layer tests.
#pragma once

#define IDD_TEST_PLAIN 2001
#define IDD_TEST_INIT 2002
#define IDD_TEST_MISSING 2999

#define IDC_TEST_GO 2101
#define IDC_TEST_OTHER 2102

#define IDC_TEST_REC1 2201
#define IDC_TEST_REC2 2202
#define IDC_TEST_REC3 2203
#define IDC_TEST_LIST 2204

#define TEST_RECORDER_CLASS "AfxTestRecorder"

// Images of the image button tests, from the program's artwork.
#define IDR_TEST_BUTTON_PNG 2301      // 31 x 30, with alpha
#define IDR_TEST_BUTTON_PNG_HOT 2302  // 31 x 30
#define IDR_TEST_BUTTON_SQUARE 2303   // 31 x 31
#define IDB_TEST_BUTTON_BMP 2304      // 70 x 32
#define IDB_TEST_BUTTON_BMP_HOT 2305  // 70 x 32
#define IDB_TEST_BUTTON_NONE 2399     // neither a PNG nor a bitmap
