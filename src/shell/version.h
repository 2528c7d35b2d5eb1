// The program's name and version, as the About box shows it.
#pragma once

extern const char VersionText[];  // "BRAMLOE 0.02"
