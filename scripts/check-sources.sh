#!/usr/bin/env bash
# Checks of the sources that need no build (the include layers are checked
# when CMake configures):
#   1. no window library (a folder of src/ whose library is declared GUI)
#      holds SQL text: windows call the lookups and bookings of a core;
#   2. nothing outside store/Dialect* compares with an engine: what differs
#      between the engines is asked of the dialect.
set -euo pipefail
cd "$(dirname "$0")/.."
failed=0

# SQL in a string literal, on a line that is not a comment
sql='"[^"]*\b([Ss][Ee][Ll][Ee][Cc][Tt]|[Ii][Nn][Ss][Ee][Rr][Tt] +[Ii][Nn][Tt][Oo]|[Dd][Ee][Ll][Ee][Tt][Ee] +[Ff][Rr][Oo][Mm]|[Uu][Pp][Dd][Aa][Tt][Ee] +"|[Cc][Rr][Ee][Aa][Tt][Ee] +([Tt][Aa][Bb][Ll][Ee]|[Ii][Nn][Dd][Ee][Xx])|[Dd][Rr][Oo][Pp] +[Tt][Aa][Bb][Ll][Ee]|[Oo][Rr][Dd][Ee][Rr] +[Bb][Yy])\b'
for cmake in src/*/CMakeLists.txt; do
  grep -qw GUI "$cmake" || continue
  folder=$(dirname "$cmake")
  files=$(find "$folder" -maxdepth 1 \( -name '*.h' -o -name '*.cpp' \))
  # shellcheck disable=SC2086
  if found=$(grep -nHE "$sql" $files | grep -vE '^[^:]+:[0-9]+: *//'); then
    echo "SQL text in a window library:" >&2
    echo "$found" >&2
    failed=1
  fi
done

engine='(==|!=) *Engine::(Sqlite|Postgres)|Engine::(Sqlite|Postgres) *(==|!=)|case +Engine::'
if found=$(grep -rnHE "$engine" src --include='*.h' --include='*.cpp' | grep -v '^src/store/Dialect'); then
  echo "An engine compared outside store/Dialect (ask the dialect instead):" >&2
  echo "$found" >&2
  failed=1
fi

exit "$failed"
