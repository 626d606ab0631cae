#!/usr/bin/env bash
# in-cp932.sh LOCALES TEST.EXE [ARGS...]: runs a Windows test with code page
# 932 as the system's ANSI code page. Wine takes the code page from LC_ALL's
# name, but without that locale on the Linux side it cannot name files outside
# ASCII: the locale is compiled once into the folder LOCALES.
set -euo pipefail
locales=$1
shift
[ -d "$locales/ja_JP.UTF-8" ] || { mkdir -p "$locales" && localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8"; }
LOCPATH=$locales LC_ALL=ja_JP.UTF-8 VLM_ACP=932 wine "$@"
