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
