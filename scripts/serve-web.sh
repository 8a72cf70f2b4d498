#!/usr/bin/env bash
# Serves the browser build (scripts/build-web.sh) at http://localhost:PORT/
# until Ctrl-C. Usage: serve-web.sh [PORT] [SITE]
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8000}
site=${2:-build-web/site}
[ -f "$site/index.html" ] || { echo "no site in $site: run scripts/build-web.sh first" >&2; exit 1; }
echo "The show: http://localhost:$port/"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
