// Resource numbers of htmlview_tests' own HTML resources.
#pragma once

#define IDR_TEST_TEMPLATE 129
#define IDR_SECOND_PAGE 130
