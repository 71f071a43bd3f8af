#!/usr/bin/env bash
# scripts/check-layers.sh: fails when a file under src/ includes a header of its own layer's
# neighbour or of a higher layer. The layers are the table between the markers "layers:begin" and
# "layers:end" in docs/architecture.md, lowest first; files directly under src/ form the folder ".".
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
table="$root/docs/architecture.md"

declare -A rank
while IFS='|' read -r _ layer folders _; do
  layer="${layer//[[:space:]]/}"
  [[ "$layer" =~ ^[0-9]+$ ]] || continue
  for folder in ${folders//[,\`]/ }; do rank[$folder]=$layer; done
done < <(sed -n '/<!-- layers:begin -->/,/<!-- layers:end -->/p' "$table")
if [ ${#rank[@]} -eq 0 ]; then
  echo "check-layers: no layer table in $table" >&2
  exit 2
fi

faults=0
while IFS= read -r -d '' file; do
  rel="${file#"$root"/src/}"
  [[ "$rel" == */* ]] && own="${rel%%/*}" || own=.
  if [ -z "${rank[$own]:-}" ]; then
    echo "src/$rel: folder \"$own\" has no layer in docs/architecture.md"
    faults=$((faults + 1))
    continue
  fi
  while IFS=: read -r line header; do
    [[ "$header" == */* ]] || continue  # beside the file itself
    dep="${header%%/*}"
    [ "$dep" = "$own" ] && continue
    if [ -z "${rank[$dep]:-}" ]; then
      echo "src/$rel:$line: includes $header: folder \"$dep\" has no layer"
      faults=$((faults + 1))
    elif [ "${rank[$dep]}" -ge "${rank[$own]}" ]; then
      echo "src/$rel:$line: includes $header (layer ${rank[$dep]}) from $own (layer ${rank[$own]})"
      faults=$((faults + 1))
    fi
  done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$file" |
           sed -E 's/^([0-9]+):.*"([^"]+)"$/\1:\2/')
done < <(find "$root/src" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)

# The helper is an executable of its own: it compiles its folder alone and links the platform library
# alone, so no file of a higher layer reaches it through the build either.
helper_build=$(tr '\n' ' ' < "$root/CMakeLists.txt" | grep -o -E 'add_executable\(tellvane-menu-helper[^)]*\)|target_link_libraries\(tellvane-menu-helper[^)]*\)' || true)
if grep -q -E 'src/[a-z]+/' <<<"$(grep -o -E 'src/[a-z]+/' <<<"$helper_build" | grep -v '^src/helper/')"; then
  echo "CMakeLists.txt: tellvane-menu-helper compiles sources outside src/helper"
  faults=$((faults + 1))
fi
if grep -q -E 'tellvane_[a-z]+' <<<"$(grep -o -E 'tellvane_[a-z]+' <<<"$helper_build" | grep -v '^tellvane_platform$')"; then
  echo "CMakeLists.txt: tellvane-menu-helper links more than tellvane_platform"
  faults=$((faults + 1))
fi

if [ $faults -ne 0 ]; then
  echo "check-layers: $faults include(s) against the layer order in docs/architecture.md"
  exit 1
fi
echo "check-layers: ${#rank[@]} folders, every include points down"
