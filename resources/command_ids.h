// Menu and accelerator command ids. The accelerator table in Tavrilo.rc uses them,
// so this header stays plain preprocessor definitions.
#pragma once

#define IDM_FILE_NEW 40002
#define IDM_FILE_OPEN 40003
#define IDM_FILE_SAVE 40004
#define IDM_FILE_SAVE_AS 40005
#define IDM_FIND 40012
#define IDM_PROJECT_NEW 40101
#define IDM_VIEW_DAY 40201
#define IDM_VIEW_WEEK 40202
#define IDM_VIEW_MONTH 40203
#define IDM_VIEW_YEAR 40204
#define IDM_VIEW_TODAY 40205
#define IDM_VIEW_PREVIOUS 40206
#define IDM_VIEW_NEXT 40207
#define IDM_VIEW_GOTO_DATE 40208
