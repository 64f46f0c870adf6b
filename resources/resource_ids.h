// Resource ids shared by Tavrilo.rc and the code that loads them.
#pragma once

#define IDI_APP 101
#define IDR_ACCELERATORS 102
#define IDB_ABOUT_PREVIEW 103
#define IDR_FONT_REGULAR 201
#define IDR_FONT_SEMIBOLD 202
#define IDR_FONT_BOLD 203
#define IDR_TRANSLATIONS 204
#define IDR_SESSION_EXTENSION 210
