#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests, in a folder of its own on a free port.
#
#   tools/postgres.sh avvia CARTELLA   starts it; prints the lines to eval for its clients
#                                      (PGHOST, PGPORT, PGUSER, PGDATABASE)
#   tools/postgres.sh ferma CARTELLA   stops it and removes the folder
#
# The server refuses to run as root, so as root initdb and pg_ctl run as the `postgres`
# user. It trusts local connections and does not wait for the disk: it holds nothing that
# outlives the run. Exit status 1, with the reason on standard error, when it cannot start.
set -euo pipefail

errore() {
  echo "PostgreSQL di prova: $*" >&2
  exit 1
}

[ $# -eq 2 ] || errore "uso: $0 avvia|ferma CARTELLA"
azione=$1
cartella=$2

bin=""
for d in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
  [ -x "$d/initdb" ] && { bin=$d; break; }
done
[ -n "$bin" ] || bin=$(dirname "$(command -v initdb 2>/dev/null || echo /non/trovato/initdb)")
[ -x "$bin/initdb" ] && [ -x "$bin/pg_ctl" ] || errore "initdb e pg_ctl non trovati (pacchetto postgresql non installato?)"

# As root, the server's files belong to `postgres` and its programs run as that user.
come() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

case "$azione" in
avvia)
  if [ "$(id -u)" -eq 0 ]; then
    getent passwd postgres >/dev/null || errore "utente postgres mancante"
  fi
  mkdir -p "$cartella"
  cartella=$(cd "$cartella" && pwd)
  [ -e "$cartella/dati" ] && errore "$cartella/dati esiste già"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$cartella"
  come "$bin/initdb" -D "$cartella/dati" -U quorlin -A trust -E UTF8 --locale=C.UTF-8 >"$cartella/initdb.log" 2>&1 \
    || errore "initdb non riuscito: $(tail -3 "$cartella/initdb.log")"
  avviato=""
  # A port found free may be taken before the server binds it: try a few.
  for tentativo in 1 2 3 4 5; do
    porta=$((20000 + RANDOM % 20000))
    (exec 3<>"/dev/tcp/127.0.0.1/$porta") 2>/dev/null && continue
    if come "$bin/pg_ctl" -D "$cartella/dati" -l "$cartella/server.log" -w -t 60 start \
      -o "-p $porta -c listen_addresses=127.0.0.1 -c unix_socket_directories='$cartella' -c fsync=off -c full_page_writes=off -c max_connections=200" \
      >/dev/null 2>&1; then
      avviato=1
      break
    fi
  done
  [ -n "$avviato" ] || errore "il server non parte: $(tail -3 "$cartella/server.log" 2>/dev/null)"
  echo "export PGHOST=127.0.0.1 PGPORT=$porta PGUSER=quorlin PGDATABASE=postgres"
  ;;
ferma)
  [ -d "$cartella/dati" ] && come "$bin/pg_ctl" -D "$cartella/dati" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$cartella"
  ;;
*)
  errore "azione sconosciuta: $azione"
  ;;
esac
