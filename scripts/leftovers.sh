#!/usr/bin/env bash
# Usage: leftovers.sh MARK
# Fails when a process that carries VELMORA_TEST_RUN=MARK in its environment is still
# alive, other than this script and its ancestors: a test started it and did not end it.
# Gives a killed process a few seconds to go, then names what is left and kills it.
set -uo pipefail
mark="VELMORA_TEST_RUN=$1"

ancestors=" "
pid=$$
while [ -n "$pid" ] && [ "$pid" -gt 1 ]; do
  ancestors+="$pid "
  pid=$(awk '/^PPid:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
done

# Builtins only: a command run from here would carry the mark itself.
left=()
scan() {
  left=()
  local dir p v vars
  for dir in /proc/[0-9]*; do
    p=${dir#/proc/}
    [[ "$ancestors" == *" $p "* ]] && continue
    { mapfile -d '' vars <"$dir/environ"; } 2>/dev/null || continue
    for v in "${vars[@]}"; do
      if [ "$v" = "$mark" ]; then
        left+=("$p")
        break
      fi
    done
  done
}

for _ in $(seq 1 50); do
  scan
  [ ${#left[@]} -eq 0 ] && exit 0
  sleep 0.2
done
echo "Processes the tests started and left running:"
for p in "${left[@]}"; do
  echo "  $p: $(tr '\0' ' ' 2>/dev/null <"/proc/$p/cmdline")"
  kill -9 "$p" 2>/dev/null
done
exit 1
