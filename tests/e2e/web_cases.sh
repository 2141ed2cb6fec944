# Web addresses: a web server of the run's own (web_server.py) on 127.0.0.1 and ::1, its answer
# switched through a file, over plain HTTP and over TLS with a certificate from a test authority
# that Wine inside the namespace is made to trust, or a self-signed one that it is not. Sourced
# by run_all.sh after harness.sh; start_web_server also serves the benchmarks.

# Starts the server, named WEB_NAME (`web` when unset), on PORT (over TLS with CERT and KEY),
# answering with the status in $E2E_WORK/NAME-status; each request is a line of
# $E2E_WORK/NAME-requests.log.
start_web_server() { # port [cert key]
    local name=${WEB_NAME:-web}
    [[ -f $E2E_WORK/$name-status ]] || echo 200 >"$E2E_WORK/$name-status"
    start_in_ns "$name" python3 "$E2E_SCRIPTS/web_server.py" "$E2E_WORK/$name-status" \
        "$E2E_WORK/$name-requests.log" "$@"
    # Listening on both addresses; a connection would not do while SYNs are dropped.
    wait_until 5 sockets_of 2 -Hltn "sport = :$1" && return 0
    echo "the web server did not start on port $1: $(tail -n 2 "$E2E_WORK/$name.out")" >&2
    return 1
}

sockets_of() { (($(in_ns ss "${@:2}" | wc -l) >= $1)); } # count ss-args...: ss lists COUNT or more

web_status() { echo "$1" >"$E2E_WORK/web-status"; }

# A test authority, a certificate for localhost that it signed and a self-signed one, in
# $E2E_WORK/pki; the authority becomes the only root that programs in the namespace trust
# (`ip netns exec` binds /etc/netns/NS/ssl over /etc/ssl, where Wine reads the system's roots,
# for each program as it starts).
make_test_certificates() {
    local ssl=/etc/netns/$E2E_NS/ssl/certs
    rm -rf "$E2E_WORK/pki" && mkdir -p "$E2E_WORK/pki" "$ssl" || return 1
    certificate() { # name openssl-options...
        openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout "$1.key" -out "$1.crt" "${@:2}"
    }
    (
        cd "$E2E_WORK/pki" && certificate ca -subj "/CN=Tarnwell Test Authority" &&
            certificate localhost -subj /CN=localhost -addext subjectAltName=DNS:localhost \
                -addext basicConstraints=CA:FALSE -CA ca.crt -CAkey ca.key &&
            certificate self -subj /CN=localhost -addext subjectAltName=DNS:localhost
    ) >"$E2E_WORK/openssl.out" 2>&1 && cp "$E2E_WORK/pki/ca.crt" "$ssl/ca-certificates.crt"
}

case_web() {
    case_results web_makes_breaks_on_503_and_makes_again web_breaks_when_the_server_is_gone \
        web_stays_dead_while_syns_are_dropped web_ipv6_makes web_https_on_a_plain_port_is_no_certificate \
        web_name_server_outage_is_no_silence web_https_trusted_makes \
        web_name_gone_from_dns_breaks web_https_untrusted_is_a_bad_certificate web_bad_address \
        web_server_asking_sign_in_gets_no_credentials web_exit_with_requests_in_flight \
        web_proxy_refusing_sign_in_is_never_alive
    local url=http://127.0.0.1:8080/health tls=https://localhost:8443/
    rm -f "$E2E_WORK"/{web,self}-requests.log
    web_status 200
    in_ns nft -f - <<<'table inet tw_web {
        chain syn { type filter hook input priority 1; }
    }' || problem "nftables refused the table"
    # Before the start: the program reads the trusted roots of the /etc/ssl it started with.
    make_test_certificates || problem "openssl failed: $(tail -n 3 "$E2E_WORK/openssl.out")"
    start_web_server 8080 || problem "no web server"
    watch_settings
    launch "$E2E_EXE" $url || return
    expect_status "$url is alive!" 5000 "of the start"
    web_status 503
    expect_status "$url has died!" 16000 "of the server answering 503"
    web_status 200
    expect_status "$url is alive!" 5000 "of the server answering 200 again"
    # One GET of the path a check, naming Tarnwell.
    grep -q "^GET /health Tarnwell/[0-9]" "$E2E_WORK/web-requests.log" ||
        problem "no GET /health naming Tarnwell: $(head -n 1 "$E2E_WORK/web-requests.log")"
    result web_makes_breaks_on_503_and_makes_again

    stop_in_ns web
    expect_status "$url has died!" 16000 "of the server going"
    result web_breaks_when_the_server_is_gone

    in_ns nft add rule inet tw_web syn tcp dport 8080 drop
    start_web_server 8080 || problem "no web server"
    # The window's answers are timed while the status is watched: no make, and no stall.
    expect_steady_without_stall "$url has died!" 12000 "web, SYNs dropped"
    in_ns nft flush chain inet tw_web syn
    expect_status "$url is alive!" 5000 "of the SYNs passing"
    result web_stays_dead_while_syns_are_dropped

    enter_host "http://[::1]:8080/"
    expect_status "http://[::1]:8080/ is alive!" 5000 "of Enter"
    result web_ipv6_makes

    # A handshake with a server that speaks no TLS fails, and says nothing of a certificate.
    enter_host https://localhost:8080/
    expect_steady $STATUS "Waiting for https://localhost:8080/..." 4000
    result web_https_on_a_plain_port_is_no_certificate

    # The name server falls silent after the name resolved: no break, the status says why; a
    # server that stopped meanwhile is told once the name can be looked up again.
    local named=http://web.test:8080/health
    enter_host $named
    expect_status "$named is alive!" 5000 "of Enter"
    dns_mode silent
    expect_status "Name lookup fails - $named!" 8000 "of the name server falling silent"
    sleep 8
    dns_mode answer
    expect_status "$named is alive!" 6000 "of the name server answering again"
    dns_mode silent
    stop_in_ns web
    sleep 12
    ! grep -q "$named has died" "$E2E_LOG" || problem "a break while the name server was silent"
    dns_mode answer
    # Its silence counts from the first check made again: a break a silence limit later.
    expect_status "$named has died!" 16000 "of the name server answering, the server gone"
    result web_name_server_outage_is_no_silence

    # A name removed from the name server (which a lookup of Tarnwell's own tells from a silent
    # one) is no outage: the watch breaks.
    start_web_server 8080 || problem "no web server"
    expect_status "$named is alive!" 6000 "of the server back"
    dns_mode nxdomain
    expect_status "$named has died!" 20000 "of the name removed from the name server"
    dns_mode answer
    result web_name_gone_from_dns_breaks

    WEB_NAME=tls start_web_server 8443 "$E2E_WORK/pki/localhost.crt" "$E2E_WORK/pki/localhost.key" &&
        WEB_NAME=self start_web_server 8444 "$E2E_WORK/pki/self.crt" "$E2E_WORK/pki/self.key" ||
        problem "no web servers over TLS"
    enter_host $tls
    expect_status "$tls is alive!" 5000 "of Enter, with a certificate the system trusts"
    result web_https_trusted_makes

    local self=https://localhost:8444/
    enter_host $self
    expect_status_held "Bad certificate - $self!" 5000 5000 "of Enter, with a self-signed certificate"
    # WinHTTP refused the certificate before anything was sent.
    [[ ! -s $E2E_WORK/self-requests.log ]] ||
        problem "the server got $(wc -l <"$E2E_WORK/self-requests.log") requests"
    result web_https_untrusted_is_a_bad_certificate

    enter_host "http://127.0.0.1:99999/"
    expect_status "Bad address - http://127.0.0.1:99999/!" 2000 "of Enter"
    result web_bad_address

    # The watched server itself asks for sign-in with a 407, and no proxy stands between: no
    # credentials, and no verdict either.
    web_status 407
    : >"$E2E_WORK/web-requests.log"
    enter_host $url
    expect_status_held "Proxy refuses sign-in - $url!" 5000 4000 "of the server's own 407"
    ! grep -q " Tarnwell/[^ ]* [A-Za-z]" "$E2E_WORK/web-requests.log" ||
        problem "credentials went to the server: $(sort -u "$E2E_WORK/web-requests.log")"
    web_status 200
    stop_in_ns web
    result web_server_asking_sign_in_gets_no_credentials

    # Exit while requests wait on SYNs that are dropped (a connection to the server seen
    # pending first): the window goes at once, the settings saved; then every handle is closed
    # and the process ends once WinHTTP's last callback has run or the 3 s it is allowed have
    # passed. Wine's WinHTTP does not call back for a connection under way, so here the
    # process takes those 3 s; 4 s at most, the driver's start and the polling included.
    in_ns nft add rule inet tw_web syn tcp dport 8080 drop
    enter_host $url
    wait_until 5 sockets_of 1 -Htn state syn-sent "dport = :8080" ||
        problem "no connection to the server pending before Exit"
    local took gone
    took=$(now_ms)
    drv command $EXIT_BUTTON >/dev/null
    wait_for_window Tarnwell 4 gone || problem "the window still shows 4 s after Exit"
    gone=$(($(now_ms) - took))
    wait_program_exit 10 && [[ $TW_RC == 0 ]] ||
        problem "tarnwell.exe did not end with exit code 0 within 10 s of Exit (${TW_RC:-running})"
    took=$(($(now_ms) - took))
    note "Exit with a connection pending: window gone in $gone ms, process in $took ms"
    ((gone <= 1500)) || problem "the window took $gone ms to go after Exit, not 1,500 at most"
    ((took <= 4000)) || problem "Exit with requests pending took $took ms, not 4,000 at most"
    result web_exit_with_requests_in_flight

    # Through a proxy that refuses every sign-in: never alive, and the status names the proxy.
    in_ns nft flush chain inet tw_web syn
    echo 407 >"$E2E_WORK/proxy-status"
    rm -f "$E2E_LOG" "$E2E_WORK/proxy-requests.log" "$E2E_WORK/web-requests.log"
    WEB_NAME=proxy start_web_server 3128 || problem "no proxy"
    start_web_server 8080 || problem "no web server"
    TARNWELL_WEB_PROXY=127.0.0.1:3128 launch "$E2E_EXE" $url || return
    expect_status_held "Proxy refuses sign-in - $url!" 5000 4000 "of the start through the proxy"
    grep -q "^GET .*/health " "$E2E_WORK/proxy-requests.log" ||
        problem "the proxy was not asked: $(head -n 2 "$E2E_WORK/proxy-requests.log")"
    [[ ! -s $E2E_WORK/web-requests.log ]] || problem "the server was asked directly"
    note "the proxy heard: $(sort "$E2E_WORK/proxy-requests.log" | uniq -c | tr '\n' ';')"
    ! grep -q "is alive" "$E2E_LOG" 2>/dev/null || problem "a make through the refusing proxy"
    result web_proxy_refusing_sign_in_is_never_alive
    rm -rf "/etc/netns/${E2E_NS:?}/ssl"
}
