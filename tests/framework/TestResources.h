// Identifiers shared by the test resource script and the tests.
#pragma once

#define IDD_TEST_DIALOG 100
#define IDC_INPUT 1001
#define IDC_SEND 1000
#define IDC_OWNER_DRAWN 1002
#define IDC_LABEL 1003
