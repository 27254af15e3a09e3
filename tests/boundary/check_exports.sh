#!/bin/sh
# The plugin library exports its entries and nothing else.
exported=$(nm -D --defined-only "$1" | awk '{print $3}' | grep -v '^_init$\|^_fini$' | sort)
if [ "$exported" != "Plugin_Unload" ]; then
  echo "unexpected exports:" >&2
  echo "$exported" >&2
  exit 1
fi
