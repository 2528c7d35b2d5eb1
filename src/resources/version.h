// The program's version, written once: the About box, the version resource and the
// build (the release archives' names) all read it from here.
#pragma once

#define BRAMLOE_VERSION "0.02"
#define BRAMLOE_COPYRIGHT "Copyright (C) 2026 the BRAMLOE developers"
