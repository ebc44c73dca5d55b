/* The ids of the module's resources and of the controls in its dialogs:
   one list for the resource script and the code. Plain defines, as the
   resource compiler reads this file too. */
#ifndef LUMACUT_RESOURCES_RESOURCE_IDS_H
#define LUMACUT_RESOURCES_RESOURCE_IDS_H

/* The property list, the terminology, the About box and its text share
   the plug-in's resource id. */
#define LUMACUT_RESOURCE_ID 16000
#define LUMACUT_ABOUT_DIALOG LUMACUT_RESOURCE_ID
#define LUMACUT_ABOUT_TEXT LUMACUT_RESOURCE_ID
#define LUMACUT_MODE_DIALOG 16001
#define LUMACUT_LOGO_BITMAP 102

/* The mode dialog: its label, then one radio button a mode; the button of
   a mode is always the mode plus 3. The logo control carries the bitmap's
   id. */
#define LUMACUT_MODE_LABEL 3
#define LUMACUT_FIRST_MODE_BUTTON 4
#define LUMACUT_LAST_MODE_BUTTON 10
#define LUMACUT_LOGO_CONTROL LUMACUT_LOGO_BITMAP

/* The About box: its text, and the button that opens the web address. */
#define LUMACUT_ABOUT_TEXT_CONTROL 3
#define LUMACUT_WEB_ADDRESS_BUTTON 4

#endif
