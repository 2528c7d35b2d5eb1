// Waiting for the first sound a program makes, in the harness's capture file.
#pragma once
#include <windows.h>

// Milliseconds from the performance counter value start to the first sample above a
// tenth of full scale written to the capture file after offset (16-bit samples at even
// offsets); -1 after 20 s.
inline double MillisecondsToFirstSound(HANDLE capture, LARGE_INTEGER offset, LARGE_INTEGER start) {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  offset.QuadPart &= ~1LL;
  SetFilePointerEx(capture, offset, nullptr, FILE_BEGIN);
  static char chunk[1 << 16];
  DWORD got = 0, carry = 0;
  for (;;) {
    QueryPerformanceCounter(&now);
    double ms = (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    if (ms > 20000) return -1;
    if (!ReadFile(capture, chunk + carry, sizeof chunk - carry, &got, nullptr) || !got) {
      Sleep(1);
      continue;
    }
    DWORD bytes = carry + got;
    for (DWORD i = 0; i + 1 < bytes; i += 2) {
      short sample = static_cast<short>((unsigned char)chunk[i] | (chunk[i + 1] << 8));
      if (sample > 3276 || sample < -3276) return ms;
    }
    carry = bytes & 1;
    if (carry) chunk[0] = chunk[bytes - 1];
  }
}

inline HANDLE OpenCapture(const char *path, LARGE_INTEGER *size) {
  HANDLE capture = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  if (capture != INVALID_HANDLE_VALUE) GetFileSizeEx(capture, size);
  return capture;
}
