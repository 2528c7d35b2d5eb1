// The TextList and the aimai setting for one lookup case, as a scan would leave them.
#pragma once

#include <string>
#include <vector>

#include "library/library.h"
#include "matching/matching.h"
#include "settings/settings.h"

inline void SetTextList(const std::vector<std::string> &paths, int aimai) {
  Settings.aimai = aimai;
  TextList.count = 0;
  for (const std::string &path : paths) AppendTextPath(path.c_str());
  InvalidateTextKeys();
}
