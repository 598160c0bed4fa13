// Resource identifiers shared by the resource script and the program (plain #defines, so
// the resource compiler reads them too).
#pragma once

#define ZEMO_ICON 129
