#!/usr/bin/env bash
# Starts and stops the loopback servers of the transfer and run tests:
#   servers.sh start STATE_DIR [LIFETIME_SECONDS]
#   servers.sh stop STATE_DIR
# start: the fault-injecting server (fault.port), nginx over STATE_DIR/www
# for plain HTTP (nginx.port) and HTTPS with a fresh self-signed certificate
# for 127.0.0.1 (ssl.port, CA file ca.pem). Everything lives in STATE_DIR;
# every server ends by itself after LIFETIME_SECONDS (default 1200) at most.
# TAVLEN_NGINX_PORT, when set, is nginx's plain HTTP port instead of a free one.
# stop: ends them and removes STATE_DIR.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
command=${1:?start or stop}
state=${2:?state folder}
lifetime=${3:-1200}

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

wait_for_port() {
  for _ in $(seq 100); do
    if python3 -c 'import socket,sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), 0.2).close()' "$1" 2>/dev/null; then
      return 0
    fi
    sleep 0.1
  done
  echo "no server on port $1" >&2
  return 1
}

stop_pid_file() {
  local file=$1
  [ -f "$file" ] || return 0
  local pid
  pid=$(cat "$file")
  # Our servers run in sessions of their own: end the whole group.
  kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    # Ended, but not yet reaped by its new parent.
    case $(ps -o stat= -p "$pid" 2>/dev/null) in Z*) return 0 ;; esac
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
}

write_nginx_conf() {
  local n=$state/nginx port=$1 sslport=$2 user=""
  [ "$(id -u)" = 0 ] && user="user root;"
  cat >"$n/nginx.conf" <<CONF
$user
worker_processes 1;
pid $n/nginx.pid;
error_log $n/error.log;
events { worker_connections 64; }
http {
  access_log $n/access.log;
  client_body_temp_path $n/tmp/body;
  proxy_temp_path $n/tmp/proxy;
  fastcgi_temp_path $n/tmp/fastcgi;
  uwsgi_temp_path $n/tmp/uwsgi;
  scgi_temp_path $n/tmp/scgi;
  types { text/xml xml; application/zip zip; }
  default_type application/octet-stream;
  sendfile on;
  server { listen 127.0.0.1:$port; root $state/www; }
  server {
    listen 127.0.0.1:$sslport ssl;
    ssl_certificate $n/cert.pem;
    ssl_certificate_key $n/key.pem;
    root $state/www;
  }
}
CONF
}

start() {
  mkdir -p "$state/www" "$state/nginx/tmp"
  setsid python3 "$here/fault_server.py" "$state/fault.port" "$lifetime" >"$state/fault.log" 2>&1 &
  echo $! >"$state/fault.pid"

  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 \
    -addext subjectAltName=IP:127.0.0.1 -keyout "$state/nginx/key.pem" -out "$state/nginx/cert.pem" 2>/dev/null
  cp "$state/nginx/cert.pem" "$state/ca.pem"
  local started=0 port sslport
  for _ in 1 2 3 4 5; do
    port=${TAVLEN_NGINX_PORT:-$(free_port)}
    sslport=$(free_port)
    write_nginx_conf "$port" "$sslport"
    if nginx -p "$state/nginx" -c "$state/nginx/nginx.conf" -e "$state/nginx/error.log" 2>>"$state/nginx/start.log"; then
      started=1
      break
    fi
  done
  [ $started = 1 ] || { cat "$state/nginx/start.log" >&2; exit 1; }
  echo "$port" >"$state/nginx.port"
  echo "$sslport" >"$state/ssl.port"
  # nginx runs as a daemon: a watchdog ends it when the lifetime is over.
  setsid bash -c "sleep $lifetime; kill \$(cat '$state/nginx/nginx.pid') 2>/dev/null" >/dev/null 2>&1 &
  echo $! >"$state/watchdog.pid"

  for _ in $(seq 100); do [ -f "$state/fault.port" ] && break; sleep 0.1; done
  wait_for_port "$(cat "$state/fault.port")"
  wait_for_port "$port"
  wait_for_port "$sslport"
}

stop() {
  [ -d "$state" ] || return 0
  stop_pid_file "$state/nginx/nginx.pid"
  stop_pid_file "$state/fault.pid"
  stop_pid_file "$state/watchdog.pid"
  rm -rf "$state"
}

case $command in
  start) stop; start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop STATE_DIR [LIFETIME_SECONDS]" >&2; exit 2 ;;
esac
