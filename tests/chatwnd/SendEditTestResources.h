// Identifiers of the input-box test dialog; far from the program's own so the
// test program can link both resource scripts.
#pragma once

#define IDD_SEND_EDIT_HOST 900
#define IDC_SEND_EDIT_BOX 901
