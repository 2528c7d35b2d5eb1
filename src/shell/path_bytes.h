// The capacity of every path buffer of the program.
#pragma once

enum {
  PATH_BYTES = 260,  // MAX_PATH: at most 259 characters and the NUL
};
