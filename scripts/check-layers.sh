#!/usr/bin/env bash
# The layer rule of the sources: every #include "folder/Name.h" names the including file's own
# folder or one that scripts/layers.txt lists below it, and none climbs out through "../".
# Prints each include that breaks the rule as file:line and exits 1; exits 0 when none does.
#   scripts/check-layers.sh [FOLDER]      FOLDER: the sources to check (default: src/)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
shown=${1:-src}
shown=${shown%/}
src=${1:-$here/../src}
table=$here/layers.txt
[[ -d $src && -r $table ]] || { echo "check-layers: no folder $src or no $table" >&2; exit 2; }
cd "$src"
# grep's exit status 1 only means that no file includes anything.
{ grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' . ||
  [[ $? == 1 ]]; } |
  awk -v table="$table" -v shown="$shown" '
    BEGIN {
      while ((getline line < table) > 0)
        if (line !~ /^[[:space:]]*(#|$)/) { split(line, word, /[[:space:]]+/); folder[++n] = word[1] }
      for (i = 1; i <= n; i++) rank[folder[i]] = n - i  # the lowest line ranks 0
    }
    function folderOf(path) { return path ~ /\// ? substr(path, 1, index(path, "/") - 1) : "" }
    function fail(why) { printf "%s/%s:%s: #include \"%s\": %s\n", shown, file, line, inc, why; ++bad }
    {
      # "./folder/Name.h:12:#include "other/Name.h" ..."
      colon = index($0, ":"); file = substr($0, 3, colon - 3); rest = substr($0, colon + 1)
      line = substr(rest, 1, index(rest, ":") - 1)
      split(rest, quoted, "\""); inc = quoted[2]
      if (!(file in files)) { files[file]; ++nfiles }
      ++includes
      from = folderOf(file); to = folderOf(inc)
      if (inc ~ /(^|\/)\.\.(\/|$)/) fail("climbs out through \"..\"; include it as \"folder/Name.h\"")
      else if (!(from in rank)) fail("the file lies outside the folders of scripts/layers.txt")
      else if (to == "") fail("names no folder; include it as \"folder/Name.h\"")
      else if (!(to in rank)) fail(to "/ is not a folder of scripts/layers.txt")
      else if (rank[to] > rank[from]) fail(to "/ lies above " from "/ in scripts/layers.txt")
    }
    END {
      if (bad) { printf "check-layers: %d includes break the layer rule\n", bad > "/dev/stderr"; exit 1 }
      printf "layers: %d includes in %d files follow scripts/layers.txt\n", includes, nfiles
    }'
