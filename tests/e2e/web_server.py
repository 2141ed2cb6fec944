#!/usr/bin/env python3
"""web_server.py STATUS_FILE LOG_FILE PORT [CERT KEY]: a web server for the end-to-end tests, on
127.0.0.1 and ::1 at PORT (over TLS with CERT and KEY). Every GET (and CONNECT) is answered with
the status that STATUS_FILE holds then, and logged to LOG_FILE as its method, path, User-Agent
and the scheme of any Proxy-Authorization. With 407 it is a proxy that refuses every sign-in."""
import http.server
import socket
import socketserver
import ssl
import sys
import threading


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(sys.argv[2], "a") as log:
            signed = self.headers.get("Proxy-Authorization", "").split(" ")[0]
            log.write(f"{self.command} {self.path} {self.headers.get('User-Agent', '')} {signed}\n")
        with open(sys.argv[1]) as status:
            code = int(status.read())
        self.send_response(code)
        if code == 407:
            self.send_header("Proxy-Authenticate", "Negotiate")
            self.send_header("Proxy-Authenticate", "NTLM")
        self.send_header("Content-Length", "0")
        self.end_headers()

    do_CONNECT = do_GET

    def log_message(self, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def server_bind(self):
        # Without HTTPServer's reverse lookup of the address, which a silent name server holds up.
        socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = "localhost", self.server_address[1]

    def handle_error(self, request, client_address):
        pass  # failed handshakes and closed connections are the tests' business


def serve(host, family):
    Server.address_family = family
    server = Server((host, int(sys.argv[3])), Handler)
    if len(sys.argv) > 5:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[4], sys.argv[5])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever).start()


serve("127.0.0.1", socket.AF_INET)
serve("::1", socket.AF_INET6)
