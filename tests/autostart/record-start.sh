#!/bin/sh
# Stands for the program in an autostart entry: records its folder and arguments beside itself.
{ pwd; printf '%s\n' "$@"; } > "$(dirname "$0")/started.txt.new" && mv "$(dirname "$0")/started.txt.new" "$(dirname "$0")/started.txt"
