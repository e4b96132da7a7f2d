/* Numbers of the program's resources, shared by the resource script and the code. */
#ifndef VELMOR_RESOURCE_IDS_H
#define VELMOR_RESOURCE_IDS_H

#define FACE_ARTWORK_ID 101      /* RCDATA: the face, 1254 x 1254 RGBA PNG */
#define REFERENCE_ARTWORK_ID 103 /* RCDATA: the reference hands */
#define CRYSTAL_ARTWORK_ID 104   /* RCDATA: the crystal reflection */
#define APP_ICON_ID 1            /* icon group: the application icon */
#define MANIFEST_ID 1            /* the application manifest */

#endif
