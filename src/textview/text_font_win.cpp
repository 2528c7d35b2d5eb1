#include "textview/text_font_win.h"

// The Shift-JIS fixed-pitch face, stored as code page 932 bytes.
static const char TextFaceName[] = "ＭＳ ゴシック";

HFONT CreateTextFont(int height) {
  LOGFONTA font = {};
  font.lfHeight = height;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfPitchAndFamily = FIXED_PITCH | FF_DONTCARE;
  lstrcpynA(font.lfFaceName, TextFaceName, LF_FACESIZE);
  HFONT created = CreateFontIndirectA(&font);
  return created ? created : static_cast<HFONT>(GetStockObject(OEM_FIXED_FONT));
}
