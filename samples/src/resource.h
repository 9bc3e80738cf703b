/*
 * resource.h - ids shared by notepad-sample.rc and quillpad.c.
 *
 * Menu command ids double as string ids: the STRINGTABLE holds the
 * status-bar prompt for each command under the command's own id.
 */
#ifndef QUILLPAD_RESOURCE_H
#define QUILLPAD_RESOURCE_H

/* icon */
#define IDI_QUILLPAD            1

/* menus */
#define IDR_MAINMENU            100
#define IDR_CONTEXTMENU         101

/* dialogs */
#define IDD_ABOUT               200
#define IDD_FIND                201
#define IDD_REPLACE             202
#define IDD_GOTO                203
#define IDD_PAGESETUP           204

/* File */
#define IDM_FILE_NEW            1001
#define IDM_FILE_OPEN           1002
#define IDM_FILE_SAVE           1003
#define IDM_FILE_SAVEAS         1004
#define IDM_FILE_PAGESETUP      1005
#define IDM_FILE_PRINT          1006
#define IDM_FILE_EXIT           1007

/* Edit */
#define IDM_EDIT_UNDO           1101
#define IDM_EDIT_CUT            1102
#define IDM_EDIT_COPY           1103
#define IDM_EDIT_PASTE          1104
#define IDM_EDIT_DELETE         1105
#define IDM_EDIT_FIND           1106
#define IDM_EDIT_FINDNEXT       1107
#define IDM_EDIT_REPLACE        1108
#define IDM_EDIT_GOTO           1109
#define IDM_EDIT_SELECTALL      1110
#define IDM_EDIT_TIMEDATE       1111

/* Format, View, Help */
#define IDM_FORMAT_WORDWRAP     1201
#define IDM_FORMAT_FONT         1202
#define IDM_VIEW_STATUSBAR      1301
#define IDM_HELP_VIEWHELP       1401
#define IDM_HELP_ABOUT          1402

/* strings: application and messages */
#define IDS_APPNAME             1
#define IDS_UNTITLED            2
#define IDS_TITLEFORMAT         3
#define IDS_SAVECHANGES         4
#define IDS_NOTFOUND            5
#define IDS_OPENFAILED          6
#define IDS_TOOLARGE            7
#define IDS_OVERWRITE           8
#define IDS_SAVEFAILED          9
#define IDS_LINEPASTEND         10
#define IDS_LINERANGE           11
#define IDS_UNICODELOSS         12
#define IDS_SEARCHDONE          13
#define IDS_NOPRINTER           14
#define IDS_PAGEFOOTER          15
#define IDS_DOCSTATS            16
#define IDS_REPLACEDCOUNT       17

/* strings: status bar */
#define IDS_SB_READY            32
#define IDS_SB_POSITION         33
#define IDS_SB_ZOOM             34
#define IDS_SB_CRLF             35
#define IDS_SB_LF               36
#define IDS_SB_CR               37
#define IDS_SB_UTF8             38
#define IDS_SB_UTF8BOM          39
#define IDS_SB_UTF16LE          40
#define IDS_SB_ANSI             41
#define IDS_SB_MODIFIED         42

/* strings: open/save dialogs */
#define IDS_FILTER_TEXT         48
#define IDS_FILTER_ALL          49
#define IDS_FILTER_LOG          50
#define IDS_FILTER_INI          51
#define IDS_FILTER_DEFAULT      52
#define IDS_DEFAULT_EXT         53
#define IDS_OPEN_TITLE          54
#define IDS_SAVEAS_TITLE        55

/* controls */
#define IDC_FIND_WHAT           1010
#define IDC_REPLACE_WITH        1011
#define IDC_MATCH_CASE          1012
#define IDC_WRAP_AROUND         1013
#define IDC_DIR_UP              1014
#define IDC_DIR_DOWN            1015
#define IDC_REPLACE             1016
#define IDC_REPLACE_ALL         1017
#define IDC_GOTO_LINE           1020
#define IDC_ABOUT_NAME          1030
#define IDC_ABOUT_VERSION       1031
#define IDC_ABOUT_TEXT          1032
#define IDC_ABOUT_COPYRIGHT     1033
#define IDC_PS_SIZE             1040
#define IDC_PS_SOURCE           1041
#define IDC_PS_PORTRAIT         1042
#define IDC_PS_LANDSCAPE        1043
#define IDC_PS_LEFT             1044
#define IDC_PS_RIGHT            1045
#define IDC_PS_TOP              1046
#define IDC_PS_BOTTOM           1047
#define IDC_PS_HEADER           1048
#define IDC_PS_FOOTER           1049
#define IDC_PS_PREVIEW          1050
#define IDC_PS_PRINTER          1051

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

#endif /* QUILLPAD_RESOURCE_H */
