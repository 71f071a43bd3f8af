#!/usr/bin/python3
"""A second, independent writer and reader of C2P files, made from the format's description only,
on PyNaCl. Usage:
  c2p_file.py encrypt PASSFILE SOURCE OUTPUT [PASSES MEMORY_KIB]   (stores SOURCE's name;
                                                  Argon2id 3 passes over 65536 KiB unless given)
  c2p_file.py decrypt PASSFILE INPUT FOLDER    (prints the stored name; exit 1 when it fails)
PASSFILE holds the pass phrase's bytes as they are."""
import hmac
import hashlib
import os
import struct
import sys

from nacl import bindings, exceptions, pwhash

CHUNK = 65536
TAG = 16


def run_key(passphrase, salt, passes, memory_kib):
    return pwhash.argon2id.kdf(32, passphrase, salt, opslimit=passes, memlimit=memory_kib * 1024)


def nonce(number, last):
    return number.to_bytes(11, "big") + (b"\x01" if last else b"\x00")


def seal(key, number, last, plain, aad=None):
    return bindings.crypto_aead_chacha20poly1305_ietf_encrypt(plain, aad, nonce(number, last), key)


def unseal(key, number, last, sealed, aad=None):
    return bindings.crypto_aead_chacha20poly1305_ietf_decrypt(sealed, aad, nonce(number, last), key)


def encrypt(passphrase, source, output, passes=3, memory=65536):
    salt, file_nonce = os.urandom(16), os.urandom(16)
    file_key = hmac.new(run_key(passphrase, salt, passes, memory), file_nonce, hashlib.sha256).digest()
    head = b"C2P" + bytes([1]) + struct.pack("<II", passes, memory) + salt + file_nonce
    name = seal(file_key, 0, False, os.fsencode(os.path.basename(source)), head)
    with open(source, "rb") as f:
        body = f.read()
    pieces = [body[i:i + CHUNK] for i in range(0, len(body), CHUNK)] or [b""]
    with open(output, "wb") as out:
        out.write(head + struct.pack("<H", len(name)) + name)
        for n, piece in enumerate(pieces, 1):
            out.write(seal(file_key, n, n == len(pieces), piece))


def decrypt(passphrase, path, folder):
    with open(path, "rb") as f:
        data = f.read()
    if data[:3] != b"C2P" or data[3] != 1:
        raise ValueError("not a C2P file of version 1")
    passes, memory = struct.unpack_from("<II", data, 4)
    salt, file_nonce = data[12:28], data[28:44]
    (length,) = struct.unpack_from("<H", data, 44)
    file_key = hmac.new(run_key(passphrase, salt, passes, memory), file_nonce, hashlib.sha256).digest()
    name = unseal(file_key, 0, False, data[46:46 + length], data[:44])
    rest = data[46 + length:]
    sealed = [rest[i:i + CHUNK + TAG] for i in range(0, len(rest), CHUNK + TAG)]
    if not sealed:
        raise ValueError("no body chunk")
    plain = b"".join(unseal(file_key, n, n == len(sealed), c) for n, c in enumerate(sealed, 1))
    with open(os.path.join(folder, os.fsdecode(name)), "wb") as out:
        out.write(plain)
    sys.stdout.buffer.write(name + b"\n")


def main():
    command, passfile, a, b = sys.argv[1:5]
    stretching = [int(v) for v in sys.argv[5:7]]
    with open(passfile, "rb") as f:
        passphrase = f.read()
    try:
        if command == "encrypt":
            encrypt(passphrase, a, b, *stretching)
        else:
            decrypt(passphrase, a, b)
    except (exceptions.CryptoError, ValueError) as e:
        print("c2p_file: %s: %s" % (a, e), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
