// Numeric ids of the program's resources, shared by kestrane.rc and the C++ code. Plain macros,
// because the resource compiler reads only the preprocessor.
#pragma once

// The program icon; the first icon group, so the shell shows it for kestrane.exe.
#define IDI_KESTRANE 1

// The tool bar and menu pictures: one strip of 16 x 16 images in TImageIndex order.
#define IDB_TOOLBAR 100
#define TOOLBAR_IMAGE_SIZE 16
// The strip's background colour (magenta), to be used as the image list's mask colour.
#define TOOLBAR_MASK_COLOR 0x00FF00FF

// The application manifest (CREATEPROCESS_MANIFEST_RESOURCE_ID) and the version resource.
#define IDR_MANIFEST 1
#define IDV_VERSION 1
