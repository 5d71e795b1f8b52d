#!/usr/bin/env bash
# Compares the production tables of two databases row by row, e.g. after `quorlin migra`
# there and back:
#
#   tools/confronta_db.sh FILE.db FILE.db
#   tools/confronta_db.sh FILE.db pg:DATABASE      (server from PGHOST, PGPORT, PGUSER)
#
# Each table of the first database is written out ordered by all its columns, NULL as \N, the
# same way on both sides; prints one line per table and the differences. Exit status 0 when
# every table is identical, 1 otherwise.
set -euo pipefail

[ $# -eq 2 ] || { echo "uso: $0 FILE.db FILE.db|pg:DATABASE" >&2; exit 2; }
primo=$1
secondo=$2

righe() { # database table columns
  local db=$1 tabella=$2 colonne=$3
  if [[ $db == pg:* ]]; then
    local ordine
    ordine=$(sed 's/,/ NULLS FIRST,/g; s/$/ NULLS FIRST/' <<<"$colonne")
    psql -X -q -A -t -F '|' -P 'null=\N' -d "${db#pg:}" -c "SELECT $colonne FROM $tabella ORDER BY $ordine"
  else
    sqlite3 -separator '|' -nullvalue '\N' "$db" "SELECT $colonne FROM $tabella ORDER BY $colonne"
  fi
}

diversi=0
for tabella in $(sqlite3 "$primo" "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"); do
  colonne=$(sqlite3 "$primo" "SELECT group_concat(name, ',') FROM pragma_table_info('$tabella')")
  if diff <(righe "$primo" "$tabella" "$colonne") <(righe "$secondo" "$tabella" "$colonne") >/tmp/confronta_db.$$; then
    echo "uguale   $tabella ($(righe "$primo" "$tabella" "$colonne" | wc -l) righe)"
  else
    echo "DIVERSA  $tabella"
    head -20 /tmp/confronta_db.$$
    diversi=1
  fi
done
rm -f /tmp/confronta_db.$$
exit $diversi
