#!/usr/bin/env python3
"""A web server for the end-to-end tests of web addresses, inside the test's namespace.

    web_server.py STATUS_FILE LOG_FILE PORT [CERT KEY]

Listens on 127.0.0.1 and ::1 at PORT (with CERT and KEY, over TLS) and answers every GET with
the status that STATUS_FILE holds when the request comes (200 when it cannot be read), and a
body that a watcher must never need. Each request's method, path and User-Agent are appended
to LOG_FILE, one line each.
"""
import http.server
import socket
import socketserver
import ssl
import sys
import threading


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        try:
            with open(sys.argv[1]) as f:
                status = int(f.read().strip())
        except (OSError, ValueError):
            status = 200
        with open(sys.argv[2], "a") as log:
            log.write(f"{self.command} {self.path} {self.headers.get('User-Agent', '')}\n")
        body = b"x" * 65536
        self.send_response(status)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            self.wfile.write(body)
        except OSError:
            pass  # the watcher closed after the status line

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
    return server


servers = [serve("127.0.0.1", socket.AF_INET), serve("::1", socket.AF_INET6)]
threading.Thread(target=servers[1].serve_forever, daemon=True).start()
servers[0].serve_forever()
