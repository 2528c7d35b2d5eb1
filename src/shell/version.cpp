#include "shell/version.h"

const char VersionText[] = "BRAMLOE 0.02";
