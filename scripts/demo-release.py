#!/usr/bin/env python3
"""Writes the demo's release tree: the update document at the path that the
updater asks for, and every product file under /files/, compressed where the
document says so. Tokens are the first 32 hex digits of the SHA-256 of the
installed content, so an unchanged file keeps its token between releases.

    demo-release.py TREE FILES_HOST DOCUMENT_PATH PACK_COMMAND ENTRY...

ENTRY is client_path=source[:z|:w] (z: packed with the general compressor,
w: with the sound compressor). PACK_COMMAND packs: "<cmd> z|w <src> <dst>".
"""
import hashlib
import os
import shutil
import subprocess
import sys
from xml.sax.saxutils import quoteattr

REGISTRY = [("Settings", "Color", "blue", "true"), ("Settings", "Greeting", "Hello", "false")]


def token(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()[:32].upper()


def main():
    tree, host, document_path, pack = sys.argv[1:5]
    files = []
    for entry in sys.argv[5:]:
        client, source = entry.split("=", 1)
        kind = ""
        if source[-2:] in (":z", ":w"):
            source, kind = source[:-2], source[-1]
        server = "/files/" + client.replace("\\", "/") + {"z": ".Kelz", "w": ".Kelw", "": ""}[kind]
        served = os.path.join(tree, server.lstrip("/"))
        os.makedirs(os.path.dirname(served), exist_ok=True)
        if kind:
            subprocess.run(pack.split() + [kind, source, served], check=True)
        else:
            shutil.copyfile(source, served)
        files.append((server, client, token(source), os.path.getsize(served), bool(kind)))
    lines = ['<?xml version="1.0" encoding="windows-1252" ?>',
             '<UpdateDocument IsSucceed="true" ProductExePath="bin\\NimbraDemoApp.exe" '
             'FilesServer=%s CompressFilePath="unkelz.exe" CompressWAVPath="unkelw.exe">' % quoteattr(host),
             '  <UpdateFiles>']
    for server, client, checksum, size, packed in files:
        lines.append('    <UpdateFile ServerRelativePath=%s ClientRelativePath=%s CheckSum="%s" Size="%d" '
                     'IsCompressed="%s"/>' % (quoteattr(server), quoteattr(client), checksum, size,
                                              "true" if packed else "false"))
    lines += ['  </UpdateFiles>', '  <UpdateRegistry>']
    for path, key, value, override in REGISTRY:
        lines.append('    <Registry Path=%s Key=%s Value=%s IsOverride="%s"/>'
                     % (quoteattr(path), quoteattr(key), quoteattr(value), override))
    lines += ['  </UpdateRegistry>', '</UpdateDocument>', '']
    target = os.path.join(tree, document_path.lstrip("/"))
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "w", encoding="cp1252", newline="\r\n") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
