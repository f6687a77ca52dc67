// Identifiers shared by the owner-draw menu's test resource script and tests.
#pragma once

#define IDR_ODM_TEST_MENU 7400
#define IDR_ODM_MISSING_MENU 7401

#define ID_ODM_OPEN 7410
#define ID_ODM_SAVE_AS 7411
#define ID_ODM_RECENT_ONE 7412
#define ID_ODM_RECENT_TWO 7413
#define ID_ODM_EXIT 7414
#define ID_ODM_ABOUT 7415
