#!/usr/bin/env bash
# bench/run.sh must find every benchmark the build made (and nothing else, such as moc folders).
root=$1 build=$2
expected=$(find "$root/bench" -name 'bench_*.cpp' -printf '%f\n' | sed 's/\.cpp$//' | sort)
listed=$(QUORVANE_BUILD_DIR="$build" "$root/bench/run.sh" --dry-run | xargs -n1 basename | sort)
if [ "$expected" != "$listed" ]; then
  echo "bench/run.sh --dry-run lists:"; echo "$listed"
  echo "but the sources hold:"; echo "$expected"
  exit 1
fi
