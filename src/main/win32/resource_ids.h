// Resource numbers shared by resources.rc and the entry point.
#pragma once

#define IDI_TRELVAN 107
#define IDI_SMALL 108
#define IDS_WINDOW_CLASS 109
#define IDC_TRELVAN 109
#define IDM_ABOUT 104
