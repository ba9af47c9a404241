#!/usr/bin/env bash
# scripts/check-layers on a scratch copy of the layer folders: the copy as it
# is passes, and each way of spelling an include that climbs makes it fail,
# naming the file and the header it reaches.
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/scripts"
cp "$root/scripts/check-layers" "$scratch/scripts/"
for dir in base engine image source render ui app; do
  [ -d "$root/$dir" ] && cp -r "$root/$dir" "$scratch/"
done
failures=0

if ! out=$("$scratch/scripts/check-layers" 2>&1); then
  echo "FAIL: the clean copy is refused:" >&2
  echo "$out" >&2
  failures=1
fi

# Each case: the files to add (a name, then its text, where \n ends a line),
# then the file and the dependency that the report must name.
cases=(
  'engine/QVProbe.cpp|#include "../ui/UnitViewer.h"|engine/QVProbe.cpp|ui/UnitViewer.h'
  'engine/QVProbe.cpp|#include <ui/UnitViewer.h>|engine/QVProbe.cpp|ui/UnitViewer.h'
  'engine/QVProbe.cpp|#include "QVProbe.hpp"|engine/QVProbe.hpp|#pragma once\n#include "ui/UnitViewer.h"|engine/QVProbe.hpp|ui/UnitViewer.h'
  'image/QVProbe.cpp|#include "source/QVProjectFile.h"|image/QVProbe.cpp|source/QVProjectFile.h'
)
for c in "${cases[@]}"; do
  IFS='|' read -r -a parts <<<"$c"
  count=${#parts[@]}
  file=${parts[count - 2]}
  dep=${parts[count - 1]}
  added=()
  for ((i = 0; i + 2 < count; i += 2)); do
    printf '%b\n' "${parts[i + 1]}" >"$scratch/${parts[i]}"
    added+=("$scratch/${parts[i]}")
  done
  if out=$("$scratch/scripts/check-layers" 2>&1); then
    echo "FAIL: passes with ${parts[*]}" >&2
    failures=1
  elif ! grep -qE "^$file(:[0-9]+)?: .* $dep, " <<<"$out"; then
    echo "FAIL: ${parts[*]}: the report does not name $file and $dep:" >&2
    echo "$out" >&2
    failures=1
  fi
  rm -f "${added[@]}"
done
exit $failures
