#!/usr/bin/env bash
# scripts/check-layers.sh on a small source tree: it must exit 1, name every include that
# breaks the layer rule with its file and line, and name none of those that keep it.
set -euo pipefail
check=$(cd "$(dirname "$0")/../../scripts" && pwd)/check-layers.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir "$tree/model" "$tree/views" "$tree/gadgets"

# file | one line of it | what the check must say about that line ("" when nothing)
cases='model/Angle.h|#include "views/Page.h"|views/ lies above model/
model/Angle.cpp|#include "model/Angle.h"|
model/Angle.cpp|  #  include "../views/Page.h"|climbs out through ".."
model/Grid.h|// #include "views/Page.h"|
model/Grid.h|#include <vector>|
model/Grid.h|#include "Angle.h"|names no folder
model/Grid.h|#include "formats/Reader.h"|formats/ lies above model/
views/Page.h|#include "model/Angle.h"|
views/Page.h|#include "model/../views/Page.h"|climbs out through ".."
views/Page.cpp|#include "gadgets/Knob.h"|gadgets/ is not a folder
gadgets/Knob.h|#include "model/Angle.h"|the file lies outside the folders'
while IFS='|' read -r file text _; do echo "$text" >>"$tree/$file"; done <<<"$cases"

status=0
out=$(bash "$check" "$tree" 2>&1) || status=$?
failed=0
[[ $status == 1 ]] || { echo "exit status $status, not 1"; failed=1; }
while IFS='|' read -r file text want; do
  # The line number the case has in its file: its rank among the cases of that file.
  line=$(awk -F'|' -v f="$file" -v t="$text" '$1 == f { ++n } $1 == f && $2 == t { print n; exit }' <<<"$cases")
  said=$(grep -F "$tree/$file:$line: " <<<"$out" || true)
  if [[ -n $want && $said != *"$want"* ]] || [[ -z $want && -n $said ]]; then
    echo "$file:$line ($text): expected \"$want\", the check said \"$said\""
    failed=1
  fi
done <<<"$cases"
((failed == 0)) || { echo "--- the check's output:"; echo "$out"; exit 1; }
echo "check-layers: all cases named as expected"
