#include "player/session_rules.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "library/library.h"

const char OggRefusedMessage[] = "oggを使用するためには対応ドライバが必要";
const char CreateCaption[] = "Create";
// The three dashes differ on purpose: each text is shown as it always was.
const char CannotCreateGraphMessage[] = "ERROR - Could not create the Filter Graph Manager.";
const char NoMediaControlMessage[] = "ERROR--Could not obtain the Media Control interface.";
const char NoMediaEventMessage[] = "ERROR-Could not obtain the Media Event interface.";
const char OpenCaption[] = "open";
const char RunCaption[] = "run";

bool IsRefusedOggPath(const char *path, int oggFlag) {
  return oggFlag == 0 && HasNameMark(path, FILE_OGG);
}

int WarmUpSongIndex(const char (*paths)[PATH_BYTES], int count, int oggFlag) {
  for (int i = 0; i < count; i++) {
    const char *path = paths[i];
    if (IsRefusedOggPath(path, oggFlag)) continue;
    if (HasNameMark(path, FILE_MIDI)) continue;
    return i;
  }
  return -1;
}

// A dot in a folder's name is no extension; a longer extension is left off rather
// than cut, since a cut one would name another type.
void WarmUpCopyName(const char *songPath, unsigned long processId, char *out,
                    unsigned long size) {
  const char *extension = NameExtension(PathName(songPath));
  if (std::strlen(extension) > 16) extension = "";
  std::snprintf(out, size, "bramloe-warm-up-%lu%s", processId, extension);
}

struct GraphErrorText {
  unsigned long code;
  const char *message;
};

// Looked up in this order.
static const GraphErrorText graphErrorTexts[] = {
    {0x80004004UL, "操作が中止された。"},                                        // E_ABORT
    {0x80004005UL, "失敗。"},                                                    // E_FAIL
    {0x80070057UL, " 引数が無効。"},                                             // E_INVALIDARG
    {0x8007000EUL, "メモリ不足。"},                                              // E_OUTOFMEMORY
    {0x80004003UL, " NULL ポインタ引数。"},                                      // E_POINTER
    {0x80040217UL, "接続を確立する中間フィルタの組合せが見つからない。"},        // VFW_E_CANNOT_CONNECT
    {0x80040241UL, "このﾌｧｲﾙのｿｰｽﾌｨﾙﾀをﾛｰﾄﾞできない。"},                         // VFW_E_CANNOT_LOAD_SOURCE_FILTER
    {0x80040218UL, "ｽﾄﾘｰﾑをﾚﾝﾀﾞﾘﾝｸﾞするﾌｨﾙﾀの組み合わせが見つからない。"},       // VFW_E_CANNOT_RENDER
    {0x8004022FUL, "ファイル フォーマットが無効。"},                             // VFW_E_INVALID_FILE_FORMAT
    {0x80040216UL, "オブジェクトまたは名前が見つからなかった。"},                // VFW_E_NOT_FOUND
    {0x8004025FUL, "ﾌｨﾙﾀｸﾞﾗﾌに存在しないobjectに要求された関数を実行できない。"}, // VFW_E_NOT_IN_GRAPH
    {0x80040240UL, "このファイルのメディア タイプが認識されない。"},             // VFW_E_UNKNOWN_FILE_TYPE
    {0x80040265UL, "ﾌｧｲﾙを再生できない。ﾌｫｰﾏｯﾄがサポートされていない。"},       // VFW_E_UNSUPPORTED_STREAM
};

const char *GraphErrorMessage(long code) {
  // HRESULTs are 32 bits; compare them as such whatever the width of long.
  unsigned long bits = static_cast<unsigned long>(code) & 0xFFFFFFFFUL;
  for (const GraphErrorText &entry : graphErrorTexts) {
    if (entry.code == bits) return entry.message;
  }
  return nullptr;
}

void FormatGraphError(long code, char *out, unsigned long size) {
  const char *message = GraphErrorMessage(code);
  if (message)
    std::snprintf(out, size, "%s", message);
  else
    std::snprintf(out, size, "エラー 0x%08lX", static_cast<unsigned long>(code) & 0xFFFFFFFFUL);
}

bool StartOverdue(unsigned long now, unsigned long askedAt, unsigned long limit) {
  const long waited = static_cast<long>(static_cast<int32_t>(static_cast<uint32_t>(now - askedAt)));
  return waited > 0 && static_cast<unsigned long>(waited) > limit;
}
