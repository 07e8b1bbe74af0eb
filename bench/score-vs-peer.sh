#!/bin/sh
# Scores each recording with trelvano-dump --score and with the npm package
# igc-xc-score, side by side: both scores, both run times (whole processes,
# loading included) and how many times longer the peer took.
#
#   bench/score-vs-peer.sh [-l xcontest|ffvl|fai] [-d BUILD_DIR] [FILE.igc ...]
#
# Without files it takes the recordings in tests/data/igc. The peer is
# installed once into a scratch folder (PEER_DIR, default /tmp/igc-xc-score)
# and only run; PEER_ARGS are handed to it (e.g. hp=true).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
league=xcontest
build="$here/build"
while getopts l:d: opt; do
  case $opt in
    l) league=$OPTARG ;;
    d) build=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -gt 0 ] || set -- "$here"/tests/data/igc/*.igc
case $league in
  xcontest) peer_league=XContest ;;
  ffvl) peer_league=FFVL ;;
  fai) peer_league=FAI ;;
  *) echo "the peer knows no league $league" >&2; exit 2 ;;
esac

peer_dir=${PEER_DIR:-/tmp/igc-xc-score}
peer="$peer_dir/node_modules/.bin/igc-xc-score"
if [ ! -x "$peer" ]; then
  mkdir -p "$peer_dir"
  (cd "$peer_dir" && npm init -y >/dev/null && npm install --no-audit --no-fund igc-xc-score >/dev/null)
fi
dump="$build/trelvano-dump"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

now() { date +%s.%N; }
# type, distance and points of a JSON file: ours (key score.best) or the peer's (GeoJSON properties)
summary() {
  node -e '
    const d = JSON.parse(require("fs").readFileSync(process.argv[1], "utf8"));
    let type = "-", km = NaN, points = NaN;
    if (d.score !== undefined) {
      const b = d.score && d.score.best;
      if (b) type = b.type, km = b.distance, points = b.points;
    } else if (d.properties) {
      // The peer: its points, and the distance as its legs less the
      // closing gap where the league takes the gap off.
      type = d.properties.code, points = d.properties.score, km = 0;
      for (const f of d.features || []) {
        const id = f.properties && f.properties.id;
        if (/^seg/.test(id)) km += f.properties.d;
        if (id === "closing" && process.argv[2] === "xcontest") km -= f.properties.d;
      }
    }
    console.log(type, km.toFixed(3), points.toFixed(3));
  ' "$1" "$league" 2>/dev/null || echo "- nan nan"
}

printf '%-48s %-20s %9s %9s %7s | %-8s %9s %9s %7s | %6s\n' flight type km points s peer km points s ratio
for f in "$@"; do
  t0=$(now)
  QT_QPA_PLATFORM=offscreen "$dump" --score "$league" "$f" >"$scratch/ours.json" 2>/dev/null || true
  t1=$(now)
  "$peer" "$f" "out=$scratch/peer.json" "scoring=$peer_league" quiet=true ${PEER_ARGS:-} >/dev/null 2>&1 || true
  t2=$(now)
  set -- $(summary "$scratch/ours.json") $(summary "$scratch/peer.json")
  ours=$(echo "$t1 - $t0" | bc -l)
  theirs=$(echo "$t2 - $t1" | bc -l)
  printf '%-48s %-20s %9s %9s %7.2f | %-8s %9s %9s %7.2f | %6.1f\n' "$(basename "$f")" "$1" "$2" "$3" "$ours" "$4" "$5" "$6" \
    "$theirs" "$(echo "$theirs / $ours" | bc -l)"
  rm -f "$scratch/peer.json"
done
