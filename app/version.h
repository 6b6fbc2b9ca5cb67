/* The program's version, for its version resource (and whoever asks). Plain
   #defines: the resource compiler reads this file too. */
#ifndef NAVEKO_VERSION_H
#define NAVEKO_VERSION_H

// The one place of the version: the version resource, the run log and the
// installer package (tools/release.sh reads it here). A build may be given
// another (NAVEKO_VERSION in CMake), as the installer's upgrade tests do.
#ifdef NAVEKO_VERSION_OVERRIDE
#include "naveko_version_override.h"
#else
#define NAVEKO_VERSION_NUMBERS 1, 0, 0, 0
#define NAVEKO_VERSION_TEXT "1.0.0.0"
#endif
#define NAVEKO_PRODUCT_NAME "NAVEKO price update"
#define NAVEKO_FILE_DESCRIPTION "NAVEKO medicine price update"
#define NAVEKO_COPYRIGHT "Copyright (C) 2022-2026 NAVEKO Pharmaceuticals"
#define NAVEKO_FILE_NAME "Project2.exe"

#endif
