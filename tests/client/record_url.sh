#!/bin/sh
# Stands in for the desktop's web browser in the link-button tests: appends each URL it is asked
# to open, one per line, to orvane-urls.log in the Wine prefix.
log="${WINEPREFIX:-$HOME/.wine}/orvane-urls.log"
for url in "$@"; do
  printf '%s\n' "$url" >> "$log"
done
