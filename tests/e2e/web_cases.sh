# Web addresses: a web server of the run's own (tests/e2e/web_server.py) on 127.0.0.1 and ::1,
# its answer switched through a file, over plain HTTP and over TLS with a certificate from a
# test authority that Wine inside the namespace is made to trust, or a self-signed one that it
# is not. Sourced by run_all.sh after harness.sh and cases.sh; start_web_server also serves the
# benchmarks.

# Starts the server on PORT (over TLS with CERT and KEY), answering with the status in
# $E2E_WORK/web-status; sets WEB_SERVER to its process. Not through in_ns, so that $! is the
# server itself.
start_web_server() { # port [cert key]
    [[ -f $E2E_WORK/web-status ]] || echo 200 >"$E2E_WORK/web-status"
    ip netns exec "$E2E_NS" python3 "$E2E_SCRIPTS/web_server.py" "$E2E_WORK/web-status" \
        "$E2E_WORK/web-requests.log" "$@" 2>>"$E2E_WORK/web-server.err" &
    WEB_SERVER=$!
    E2E_BACKGROUND_PIDS+=($!)
    local _
    # Listening on both addresses; a connection would not do while SYNs are dropped.
    for _ in $(seq 50); do
        (($(in_ns ss -Hltn "sport = :$1" | wc -l) == 2)) && return 0
        sleep 0.1
    done
    echo "the web server did not start on port $1: $(tail -n 2 "$E2E_WORK/web-server.err")" \
        "$(in_ns ss -Hltn "sport = :$1")" >&2
    return 1
}

web_status() { echo "$1" >"$E2E_WORK/web-status"; }

# A test authority, a certificate for localhost that it signed and a self-signed one, in
# $E2E_WORK/pki; the authority becomes the only root that programs in the namespace trust
# (`ip netns exec` binds /etc/netns/NS/ssl over /etc/ssl, where Wine reads the system's roots).
make_test_certificates() {
    local pki=$E2E_WORK/pki ssl=/etc/netns/$E2E_NS/ssl/certs
    rm -rf "$pki" && mkdir -p "$pki" "$ssl" || return 1
    (
        cd "$pki" &&
            openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt -days 2 \
                -subj "/CN=Tarnwell Test Authority" -addext "basicConstraints=critical,CA:TRUE" \
                -addext "keyUsage=critical,keyCertSign,cRLSign" &&
            openssl req -newkey rsa:2048 -nodes -keyout localhost.key -out localhost.csr \
                -subj "/CN=localhost" &&
            printf 'subjectAltName=DNS:localhost\nextendedKeyUsage=serverAuth\n' >localhost.ext &&
            openssl x509 -req -in localhost.csr -CA ca.crt -CAkey ca.key -CAcreateserial \
                -out localhost.crt -days 2 -extfile localhost.ext &&
            openssl req -x509 -newkey rsa:2048 -nodes -keyout self.key -out self.crt -days 2 \
                -subj "/CN=localhost" -addext "subjectAltName=DNS:localhost"
    ) >"$E2E_WORK/openssl.out" 2>&1 || return 1
    cp "$pki/ca.crt" "$ssl/ca-certificates.crt"
}

expect_web_status() { # text ms why
    drv wait-text $STATUS "$1" "$2" >/dev/null ||
        problem "no \"$1\" within $2 ms $3 (status \"$(drv text $STATUS)\")"
}

enter_host() { # text
    drv set-text $HOST_FIELD "$1" && drv key $HOST_FIELD $VK_RETURN
}

case_web() {
    fresh_case
    local cases=(web_makes_breaks_on_503_and_makes_again web_breaks_when_the_server_is_gone
        web_stays_dead_while_syns_are_dropped web_ipv6_makes web_https_trusted_makes
        web_https_untrusted_is_a_bad_certificate web_bad_address web_exit_with_requests_in_flight)
    local url=http://127.0.0.1:8080/health tls=https://localhost:8443/
    rm -f "$E2E_WORK/web-requests.log"
    web_status 200
    in_ns nft -f - <<<'table inet tw_web {
        chain syn { type filter hook input priority 1; }
    }' || problem "nftables refused the table"
    # Before the start: the program reads the trusted roots of the /etc/ssl it started with.
    make_test_certificates ||
        problem "openssl could not make the certificates: $(tail -n 3 "$E2E_WORK/openssl.out")"
    start_web_server 8080 || problem "no web server"
    drv set-dword tarnwell CheckFrequency 1 MakePlaySound 0 BreakPlaySound 0 >/dev/null
    if ! launch "$E2E_EXE" $url; then
        result "${cases[0]}"
        unreached "${cases[@]:1}"
        in_ns nft delete table inet tw_web
        return
    fi
    expect_web_status "$url is alive!" 5000 "of the start"
    web_status 503
    expect_web_status "$url has died!" 16000 "of the server answering 503"
    web_status 200
    expect_web_status "$url is alive!" 5000 "of the server answering 200 again"
    # One GET of the path a check, naming Tarnwell; the page itself is never read.
    grep -q "^GET /health Tarnwell/[0-9]" "$E2E_WORK/web-requests.log" ||
        problem "no GET /health naming Tarnwell: $(head -n 1 "$E2E_WORK/web-requests.log")"
    result "${cases[0]}"

    kill $WEB_SERVER
    expect_web_status "$url has died!" 16000 "of the server going"
    result "${cases[1]}"

    in_ns nft add rule inet tw_web syn tcp dport 8080 drop
    start_web_server 8080 || problem "no web server"
    # The window's answers are timed while the status is watched: no make, and no stall.
    drv stalls 12000 1000 >"$E2E_WORK/web-stalls" &
    expect_steady $STATUS "$url has died!" 12000
    wait $! || problem "the window kept a message waiting: $(cat "$E2E_WORK/web-stalls")"
    note "web, SYNs dropped: $(cat "$E2E_WORK/web-stalls")"
    in_ns nft flush chain inet tw_web syn
    expect_web_status "$url is alive!" 5000 "of the SYNs passing"
    result "${cases[2]}"

    enter_host "http://[::1]:8080/"
    expect_web_status "http://[::1]:8080/ is alive!" 5000 "of Enter"
    result "${cases[3]}"
    kill $WEB_SERVER

    start_web_server 8443 "$E2E_WORK/pki/localhost.crt" "$E2E_WORK/pki/localhost.key" ||
        problem "no web server over TLS"
    enter_host $tls
    expect_web_status "$tls is alive!" 5000 "of Enter, with a certificate the system trusts"
    result "${cases[4]}"
    kill $WEB_SERVER

    start_web_server 8443 "$E2E_WORK/pki/self.crt" "$E2E_WORK/pki/self.key" ||
        problem "no web server over TLS"
    enter_host $tls
    expect_web_status "Bad certificate - $tls!" 5000 "of Enter, with a self-signed certificate"
    expect_steady $STATUS "Bad certificate - $tls!" 5000
    result "${cases[5]}"
    kill $WEB_SERVER

    enter_host "http://127.0.0.1:99999/"
    expect_web_status "Bad address - http://127.0.0.1:99999/!" 2000 "of Enter"
    result "${cases[6]}"

    # Exit while requests wait on SYNs that are dropped: every handle is closed and WinHTTP's
    # last callback has run before the process ends, which it does at once and cleanly.
    in_ns nft add rule inet tw_web syn tcp dport 8080 drop
    enter_host $url
    sleep 3
    end_with "Exit command" command $EXIT_BUTTON &&
        { [[ $TW_RC == 0 ]] || problem "exit code $TW_RC after Exit, not 0"; }
    result "${cases[7]}"
    in_ns nft delete table inet tw_web
    rm -rf "/etc/netns/${E2E_NS:?}/ssl"
}
