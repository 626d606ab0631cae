#!/usr/bin/env bash
# vlm.scr imports only DLLs that are part of Windows: the C++ runtime is linked in.
set -euo pipefail
vlm=$1
objdump=x86_64-w64-mingw32-objdump
$objdump -f "$vlm" | grep -q 'pei-i386' && objdump=i686-w64-mingw32-objdump

system='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|olepro32|winmm|comdlg32|comctl32|msvcrt|ntdll)\.dll$'
dlls=$($objdump -p "$vlm" | sed -n 's/^\s*DLL Name: //p')
[ -n "$dlls" ] || { echo "FAIL: no import table read from $vlm"; exit 1; }
status=0
while read -r dll; do
    if echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system"; then
        echo "  system: $dll"
    else
        echo "FAIL: imports $dll, which is not part of Windows"
        status=1
    fi
done <<< "$dlls"
exit $status
