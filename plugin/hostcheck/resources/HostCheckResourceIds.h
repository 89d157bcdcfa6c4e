// Resource IDs and the version of the host check module, shared by its resource script and its
// code. The property list, terminology and about box take the IDs the host and the shared dialog
// framework look for; they live in this module's own resources, so nothing clashes with the bridge
// module's.
#pragma once

#define HOSTCHECK_VERSION_NUMBERS 1, 0, 0, 0
#define HOSTCHECK_VERSION_TEXT "1.0"

#define IDR_HOSTCHECK_PROPERTIES 16000
#define IDR_HOSTCHECK_TERMINOLOGY 16000
#define IDD_HOSTCHECK_TEST_DIALOG 16002
#define IDD_HOSTCHECK_ABOUT_BOX 16003

#define IDC_HOSTCHECK_ABOUT_TITLE 100
#define IDC_HOSTCHECK_ABOUT_TEXT 101

#define IDS_CHECK_CAPTION 21000
#define IDS_CHECK_AGREE 21001
#define IDS_CHECK_PICK_TITLE 21002
#define IDS_CHECK_PRESS_CANCEL 21003
#define IDS_CHECK_DONE 21004
#define IDS_CHECK_NOT_WRITTEN 21005
#define IDS_CHECK_LEFT_OPEN 21006
