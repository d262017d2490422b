#!/usr/bin/env bash
# Work the application defers goes through the run loop, which holds it while a long edit shows
# its progress: a queued call made any other way runs in the middle of the edit. The settings
# write may: it reads nothing of a map.
root=$1
hits=$(grep -rInE -e 'QueuedConnection|singleShot\(0\b' "$root/src" --include='*.cpp' --include='*.h' \
       | grep -vE '^[^:]*/src/platform/foundation/(RunLoop|UserDefaults)\.cpp:')
if [ -n "$hits" ]; then
  echo "queued calls that a long edit cannot hold (use platform::RunLoop::runOnMainThread or performAfterDelay):"
  echo "$hits"
  exit 1
fi
