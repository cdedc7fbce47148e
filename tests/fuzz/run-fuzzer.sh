#!/bin/bash
# Runs one fuzz target for a bounded time over the corpus kept in the
# repository. New inputs go to a folder of the build, so the kept corpus
# changes only by hand; an input that breaks the target is left in the
# build's artifacts folder and the test fails.
set -euo pipefail
target="$1" corpus="$2" work="$3" seconds="$4"
mkdir -p "$work/new" "$work/artifacts"
exec "$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$work/new" "$corpus"
