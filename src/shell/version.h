// The program's name and version, as the About box shows it.
#pragma once

extern const char VersionText[];  // "BRAMLOE " and the version
