#!/usr/bin/env bash
# bramloe.exe must start on a bare Windows: every DLL it imports is one that ships
# with the system. A runtime DLL of the compiler (libstdc++, libgcc, libwinpthread)
# would mean the static link broke and the program dies at start with 0xC0000135.
set -u
exe=${1:-${BRAMLOE_BUILD_DIR:?}/bramloe.exe}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}

system_dll() {  # lower-case name
  case $1 in
    kernel32.dll | user32.dll | gdi32.dll | comdlg32.dll | comctl32.dll | shell32.dll | \
    shlwapi.dll | advapi32.dll | ole32.dll | oleaut32.dll | winmm.dll | msvcrt.dll | \
    ucrtbase.dll | ntdll.dll | version.dll | imm32.dll | uxtheme.dll | quartz.dll | \
    api-ms-win-*.dll) return 0 ;;
    *) return 1 ;;
  esac
}

[ -f "$exe" ] || { echo "FAIL: $exe is missing"; exit 1; }
dump=$("$objdump" -p "$exe") || { echo "FAIL: $objdump cannot read $exe"; exit 1; }
mapfile -t dlls < <(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$dump" | tr -d '\r' | tr 'A-Z' 'a-z' | sort -u)

status=0
# No import table at all would mean the dump was not understood, not a clean program.
printf '%s\n' "${dlls[@]}" | grep -qx 'kernel32.dll' || { echo "FAIL: no KERNEL32.dll import found in $exe"; status=1; }
for dll in "${dlls[@]}"; do
  if system_dll "$dll"; then echo "ok: $dll"
  else echo "FAIL: $exe imports $dll, which is not a system DLL"; status=1; fi
done
exit $status
