#include "shell/version.h"

#include "resources/version.h"

const char VersionText[] = "BRAMLOE " BRAMLOE_VERSION;
