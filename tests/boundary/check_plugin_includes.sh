#!/bin/sh
# Fails when a plugin source includes a file outside plugin/ and the SDK by a relative path, or
# when a room below the commands includes one of the rooms that use it.
if grep -rnE '#include +"(\.\./|game/|server/|framework/)' "$1"; then
  echo "plugin sources must include only plugin/ headers and the SDK" >&2
  exit 1
fi
# The rooms below the commands know none of the rooms above them; only the platform shim calls
# the library entry.
if grep -rnE '#include +"(commands|diagnostics|entry)/' "$1/core" "$1/host" "$1/queries" |
    grep -v '/core/platform.cpp:[0-9]*:#include "entry/library_entry.h"'; then
  echo "core/, host/ and queries/ must not include commands/, diagnostics/ or entry/" >&2
  exit 1
fi
