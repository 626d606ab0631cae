#!/usr/bin/env bash
# at-dpi.sh DPI TEST.EXE [ARGS...]: runs a Windows test with the wine prefix's
# screen set to DPI logical pixels per inch, and puts the setting back after.
set -euo pipefail
dpi=$1
shift
key='HKCU\Control Panel\Desktop'
wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
trap 'wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true' EXIT
VLM_DPI=$dpi wine "$@"
