/* Identifiers of the resources of Varnolet7.exe, shared by varnolet7.rc and
   the program's code. Plain definitions only: no Windows header is needed.

   Named resources (loaded by name, type BITMAP):
     "IMG_1"  orange prohibition sign   (hotkeys disabled)
     "IMG_2"  blue information sign     (notifications switched on or off)
     "IMG_3"  green play sign           (a playback device became the default)
     "IMG_4"  orange record sign        (a recording device became the default)
   Each is 40 x 40 pixels, 24 bits per pixel, on the dialog face colour
   (RGB 240, 240, 240).

   Pictures of the Options dialog (type BITMAP, loaded by name, 24 bits per
   pixel), drawn at twice their design size where the dialog stretches them:
     "IMG_ABOUT"  the About page's picture, 260 x 484 (shown at 130 x 242)
     "IMG_CHAIN"  the Device Link page's chain, 32 x 32 (shown at 16 x 16)
     "IMG_CLEAR"  the clear buttons' cross, 12 x 12 on the face colour */
#ifndef VARNOLET_RES_RESOURCE_IDS_H
#define VARNOLET_RES_RESOURCE_IDS_H

/* Program icon (RT_GROUP_ICON): 16, 32 and 48 px, 32-bit with alpha. The
   lowest icon identifier, so the shell shows it for the executable. */
#define VRN_ICON_PROGRAM 1

/* Small signs of the link notification window (RT_GROUP_ICON): 16, 20, 24,
   30, 32, 40 and 48 px, 32-bit with alpha. The window shows them at 20 x 20
   design pixels (120 dpi), so every scaling has an image of its own: 16 px at
   100 %, 20 at 125 %, 24 at 150 %, 32 at 200 %; ask LoadImageW for the size
   the window needs. */
#define VRN_ICON_LINK_PLAY 2
#define VRN_ICON_LINK_RECORD 3

/* Splash picture (RT_BITMAP): 400 x 240 pixels, 24 bits per pixel. */
#define VRN_BITMAP_SPLASH 10

/* Version information (RT_VERSION) and the application manifest
   (RT_MANIFEST) both have the identifier 1, as the system expects. */
#define VRN_VERSION_INFO 1
#define VRN_MANIFEST 1

/* The language libraries (Language\English.dll, Language\Greek.dll) hold
   one string table with the identifiers 0 to VRN_STRING_COUNT - 1. */
#define VRN_STRING_COUNT 48

/* The version numbers (VRN_VERSION_NUMBERS, VRN_VERSION_TEXT) come from
   varnolet_version.h, which the build makes from the project's version. */

#endif
