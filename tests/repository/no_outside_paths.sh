#!/usr/bin/env bash
# A clone must stand on its own: no build file, script, test or source may read files beside the repository.
root=$1
hits=$(grep -rIn --exclude-dir=.git --exclude-dir='build*' -e '\.\./shared' "$root" \
       --include='*.txt' --include='*.cmake' --include='*.sh' --include='*.cpp' --include='*.h' --include='*.py' --include=run)
if [ -n "$hits" ]; then
  echo "paths outside the repository:"
  echo "$hits"
  exit 1
fi
