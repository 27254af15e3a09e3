#!/bin/sh
# Fails when a plugin source includes a file outside plugin/ and the SDK by a relative path.
if grep -rnE '#include +"(\.\./|game/|server/|framework/)' "$1"; then
  echo "plugin sources must include only plugin/ headers and the SDK" >&2
  exit 1
fi
