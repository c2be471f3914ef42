// Numeric ids of the program's resources, shared by kestrane.rc and the C++ code. Plain macros,
// because the resource compiler reads only the preprocessor.
#pragma once

// The program icon; the first icon group, so the shell shows it for kestrane.exe.
#define IDI_KESTRANE 1

// The tool bar and menu pictures: strips of images in TImageIndex order, 16 x 16 for screens at
// 100 %, 24 x 24 for 150 % and 32 x 32 for 200 %.
#define IDB_TOOLBAR 100
#define IDB_TOOLBAR_150 101
#define IDB_TOOLBAR_200 102
#define TOOLBAR_IMAGE_SIZE 16
// The strip's background colour (magenta), to be used as the image list's mask colour.
#define TOOLBAR_MASK_COLOR 0x00FF00FF

// The application manifest (CREATEPROCESS_MANIFEST_RESOURCE_ID) and the version resource.
#define IDR_MANIFEST 1
#define IDV_VERSION 1
