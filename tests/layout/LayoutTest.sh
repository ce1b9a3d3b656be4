#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The rooms of the source tree and the way their arrows point: nothing in platform/files/ or
# platform/sound/ knows Wine, lower folders never include higher ones, no editor includes
# another, and no two files include each other (a header and its own .cpp count as one).
set -euo pipefail
src=$(cd "$(dirname "$0")/../../src" && pwd)
cd "$src"
fail=0
complain() { echo "FAILED: $*" >&2; fail=1; }

# Includes of a folder's files that reach into the given folders.
reaches() {
  local from=$1; shift
  local pattern
  pattern=$(printf '|%s/' "$@")
  grep -rnE --include='*.cpp' --include='*.h' "#include \"(${pattern:1})" "$from" || true
}
for room in platform/files platform/sound; do
  hits=$(reaches "$room" platform/wine)
  [ -z "$hits" ] || complain "$room knows Wine: $hits"
done
hits=$(reaches platform/files platform/sound)
[ -z "$hits" ] || complain "platform/files knows the sound: $hits"
hits=$(reaches platform ui common settings multiplayer music app)
[ -z "$hits" ] || complain "platform reaches up: $hits"
hits=$(reaches ui common settings multiplayer music app)
[ -z "$hits" ] || complain "ui reaches up: $hits"
hits=$(reaches common settings multiplayer music app)
[ -z "$hits" ] || complain "common reaches up: $hits"
for editor in settings multiplayer music; do
  others=()
  for other in settings multiplayer music app; do [ "$other" = "$editor" ] || others+=("$other"); done
  hits=$(reaches "$editor" "${others[@]}")
  [ -z "$hits" ] || complain "$editor reaches another editor or up: $hits"
done

# Each file's unit (its path without .h or .cpp) and the units it includes.
declare -A edges
while IFS= read -r file; do
  unit=${file%.*}
  while IFS= read -r included; do
    [ -n "$included" ] || continue
    other=${included%.*}
    [ "$other" = "$unit" ] || edges["$unit $other"]=1
  done < <(sed -n 's/^#include "\([a-z]*\/[^"]*\)"$/\1/p' "$file")
done < <(find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||' | sort)
for edge in "${!edges[@]}"; do
  read -r a b <<<"$edge"
  if [ -n "${edges["$b $a"]:-}" ] && [[ "$a" < "$b" ]]; then
    complain "$a and $b include each other"
  fi
done
[ $fail = 0 ] && echo "layout: ok"
exit $fail
