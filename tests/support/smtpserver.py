"""SMTP server for the tests: loopback only, on a port the system picks.

Every accepted message is written to --spool as <n>.eml (the bytes received)
and <n>.json (envelope, headers, text body and attachments as parsed by
Python's own e-mail package, each attachment decoded into <n>-<i>.bin).
Prints "READY <port>" on stdout once it accepts connections, then serves until
stdin closes, it is killed, or --lifetime seconds pass.
"""
import argparse
import asyncio
import email
import email.policy
import json
import os
import ssl
import sys
import tempfile
import threading

from aiosmtpd.smtp import SMTP, AuthResult


class Spool:
    def __init__(self, folder, reject_rcpt, reject_data, reject_sender=False):
        self.folder = folder
        self.reject_sender = reject_sender
        self.reject_rcpt = {r.lower() for r in reject_rcpt}
        self.reject_data = reject_data
        self.count = 0

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        if self.reject_sender:
            return "451 4.7.1 Sender temporarily refused: try later"
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.reject_rcpt:
            return "550 5.1.1 Recipient address rejected: user unknown"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.reject_data:
            return "554 5.6.0 Message refused"
        self.count += 1
        stem = os.path.join(self.folder, str(self.count))
        raw = envelope.original_content or envelope.content
        msg = email.message_from_bytes(raw, policy=email.policy.default)
        info = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "tls": session.ssl is not None,
            "login": login_of(session),
            "headers": {k: str(v) for k, v in msg.items()},
            "body": None,
            "body_charset": None,
            "attachments": [],
        }
        for i, part in enumerate(msg.walk()):
            if part.is_multipart():
                continue
            if part.get_content_disposition() == "attachment":
                path = "%s-%d.bin" % (stem, i)
                with open(path, "wb") as f:
                    f.write(part.get_payload(decode=True))
                info["attachments"].append({
                    "filename": part.get_filename(),
                    "content_type": part.get_content_type(),
                    "transfer_encoding": part.get("Content-Transfer-Encoding", ""),
                    "file": path,
                })
            elif part.get_content_type() == "text/plain" and info["body"] is None:
                info["body"] = part.get_payload(decode=True).decode("ascii", "replace")
                info["body_charset"] = part.get_content_charset()
        with open(stem + ".eml", "wb") as f:
            f.write(raw)
        # The .json appears last and whole: a test polls for it.
        with open(stem + ".json.tmp", "w") as f:
            json.dump(info, f)
        os.replace(stem + ".json.tmp", stem + ".json")
        return "250 Message accepted for delivery"


def login_of(session):
    data = getattr(session, "auth_data", None)
    login = getattr(data, "login", None)
    return login.decode("utf-8", "replace") if isinstance(login, bytes) else login


def accept_any_login(server, session, envelope, mechanism, auth_data):
    # Records who logged in; the tests check the login, not a password.
    return AuthResult(success=True, auth_data=auth_data)


def tls_context(folder, cert_out=None):
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
    ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    ctx.load_cert_chain(path)
    return ctx


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--spool", required=True)
    p.add_argument("--reject-rcpt", action="append", default=[])
    p.add_argument("--reject-data", action="store_true")
    p.add_argument("--reject-sender", action="store_true")
    p.add_argument("--tls", action="store_true",
                   help="offer STARTTLS and refuse clients that do not use it")
    p.add_argument("--cert-out", default=None,
                   help="where to write the (self-signed) certificate the server presents")
    p.add_argument("--lifetime", type=int, default=600)
    a = p.parse_args()

    spool = Spool(a.spool, a.reject_rcpt, a.reject_data, a.reject_sender)
    kwargs = {"authenticator": accept_any_login, "auth_require_tls": False}
    scratch = None
    if a.tls:
        scratch = tempfile.TemporaryDirectory()
        kwargs.update({"tls_context": tls_context(scratch.name, a.cert_out), "require_starttls": True})

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(
        lambda: SMTP(spool, hostname="teste.local", **kwargs), "127.0.0.1", 0))
    port = server.sockets[0].getsockname()[1]

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
    loop.run_forever()


if __name__ == "__main__":
    main()
