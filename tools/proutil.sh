#!/bin/sh
# Runs the program _proutil beside this script with all the arguments given.
exec "$(dirname "$0")/_proutil" "$@"
