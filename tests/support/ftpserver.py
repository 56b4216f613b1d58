"""FTP server for the tests: loopback only, on a port the system picks.

Prints "READY <port>" on stdout once it accepts connections, then serves until
stdin closes (the test process ended), it is killed, or --lifetime seconds
pass. Run with /usr/bin/python3 (Debian's pyftpdlib).
"""
import argparse
import logging
import os
import sys
import tempfile
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def self_signed_cert(folder, cert_out=None):
    from OpenSSL import crypto

    key = crypto.PKey()
    key.generate_key(crypto.TYPE_RSA, 2048)
    cert = crypto.X509()
    cert.set_version(2)
    cert.get_subject().CN = "127.0.0.1"
    cert.add_extensions([crypto.X509Extension(b"subjectAltName", False, b"IP:127.0.0.1")])
    cert.set_serial_number(1)
    cert.gmtime_adj_notBefore(-60)
    cert.gmtime_adj_notAfter(3600)
    cert.set_issuer(cert.get_subject())
    cert.set_pubkey(key)
    cert.sign(key, "sha256")
    path = os.path.join(folder, "server.pem")
    with open(path, "wb") as f:
        f.write(crypto.dump_privatekey(crypto.FILETYPE_PEM, key))
        f.write(crypto.dump_certificate(crypto.FILETYPE_PEM, cert))
    if cert_out:
        with open(cert_out, "wb") as f:
            f.write(crypto.dump_certificate(crypto.FILETYPE_PEM, cert))
    return path


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    p.add_argument("--user", default="occ")
    p.add_argument("--password", default="segredo")
    p.add_argument("--perm", default="elradfmw")
    p.add_argument("--throttle", type=int, default=0,
                   help="bytes per second the server reads and writes on data connections")
    p.add_argument("--tls", action="store_true",
                   help="offer TLS and refuse clients that do not use it")
    p.add_argument("--cert-out", default=None,
                   help="where to write the (self-signed) certificate the server presents")
    p.add_argument("--lifetime", type=int, default=600)
    a = p.parse_args()

    logging.basicConfig(level=logging.CRITICAL)

    authorizer = DummyAuthorizer()
    authorizer.add_user(a.user, a.password, a.root, perm=a.perm)

    handler = FTPHandler
    scratch = None
    if a.tls:
        from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler

        class EagerTlsDTP(TLS_DTPHandler):
            # A client may start the data connection's handshake before it
            # sends the transfer command; pyftpdlib would take that early
            # read for a hang-up.
            def readable(self):
                if self._ssl_accepting or self._ssl_want_read:
                    return True
                return super().readable()

        scratch = tempfile.TemporaryDirectory()
        handler = TLS_FTPHandler
        handler.dtp_handler = EagerTlsDTP
        handler.certfile = self_signed_cert(scratch.name, a.cert_out)
        handler.tls_control_required = True
        handler.tls_data_required = True
    handler.authorizer = authorizer
    handler.passive_ports = None
    handler.permit_foreign_addresses = False
    if a.throttle > 0:
        dtp = ThrottledDTPHandler
        dtp.read_limit = a.throttle
        dtp.write_limit = a.throttle
        handler.dtp_handler = dtp

    server = FTPServer(("127.0.0.1", 0), handler)
    port = server.socket.getsockname()[1]

    def watch_stdin():
        try:
            while sys.stdin.buffer.read(1024):
                pass
        finally:
            os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()
    threading.Timer(a.lifetime, lambda: os._exit(0)).start()

    sys.stdout.write("READY %d\n" % port)
    sys.stdout.flush()
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
