#pragma once

// Resource ids, shared by resources.rc and the code (plain macros: the
// resource compiler reads this file too).

// The program's icon: the lowest id, so the shell shows it for the file.
#define LUMBREL_ICON 1
// The maker's logo, a baseline JPEG kept as raw data.
#define LUMBREL_LOGO 101
