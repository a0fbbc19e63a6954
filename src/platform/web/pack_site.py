#!/usr/bin/env python3
"""Writes what the site needs once every other file of it is built:
- lanternwhirl.wasm.js and show.data.js: the program and the show in base64, as scripts, for
  the page opened from a folder (file://), where browsers refuse fetch and XMLHttpRequest but
  still run scripts;
- site.js: the release (a hash of the site's files) and the sizes the progress line counts;
- sw.js: the service worker from its template, with the release and the files it keeps.
Usage: pack_site.py SITE_DIR SW_TEMPLATE"""
import base64
import hashlib
import json
import os
import sys

site, template = sys.argv[1:3]
carried = {"lanternwhirl.wasm": "lanternwhirl.wasm.js", "show.data": "show.data.js"}

for name, script in carried.items():
    with open(os.path.join(site, name), "rb") as f:
        text = base64.b64encode(f.read()).decode()
    with open(os.path.join(site, script), "w") as f:
        f.write('(self.lanternwhirlFiles = self.lanternwhirlFiles || {})["%s"] = "%s";\n'
                % (name, text))

# Every file a served page may ask for; the scripts above serve only pages opened from a folder.
written = set(carried.values()) | {"site.js", "sw.js"}
files = sorted(os.path.relpath(os.path.join(d, n), site).replace(os.sep, "/")
               for d, _, names in os.walk(site) for n in names)
files = [f for f in files if f not in written]
digest = hashlib.sha256()
for f in files:
    with open(os.path.join(site, f), "rb") as content:
        digest.update(f.encode() + b"\0" + content.read())
release = digest.hexdigest()[:16]

sizes = {f: os.path.getsize(os.path.join(site, f)) for f in [*carried, *carried.values()]}
with open(os.path.join(site, "site.js"), "w") as f:
    f.write("// Written by the build: this release of the site and the sizes of its largest files.\n"
            "var lanternwhirlSite = %s;\n" % json.dumps({"release": release, "sizes": sizes}))
with open(template) as f:
    worker = f.read()
worker = worker.replace("@release@", release).replace("@files@", json.dumps([*files, "site.js"]))
with open(os.path.join(site, "sw.js"), "w") as f:
    f.write(worker)
