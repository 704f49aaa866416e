#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes a made-up bookmark corpus of a given size, the same bytes on every run.

    make_corpus.py COUNT FOLDER
    make_corpus.py --exports COUNT FOLDER   (only export.html and export.adr)

FOLDER receives bookmarks.html (a Netscape file of COUNT bookmarks), bookmarks.adr
(an Opera file of COUNT bookmarks, CR LF line ends), Favorites/ (COUNT / 10
shortcut files in nested folders), Bookmarks (a Chromium-family bookmarks file
of COUNT bookmarks), firefox/places.sqlite (COUNT bookmarks and 2 * COUNT
visited pages that are not bookmarks, everything checkpointed),
firefox-wal/ (the same database with its latest hundred bookmarks still in the
write-ahead log, as a running browser leaves it), History beside Bookmarks
(the Chromium family's visits), state/zaptrove/launches.tsv (a launch record
of 600 opens), and export.html and export.adr, shaped like the files browsers
export (see write_netscape_export and write_opera_export). The browser files
are made for at most 100,000 bookmarks. About 5% of the bookmarks carry the word
"news" in their name and address, about 1% repeat an earlier one, and nearly
every address starts with "http".
"""

import base64
import json
import os
import random
import shutil
import sqlite3
import subprocess
import sys

WORDS = """
alpha amber anchor apple archive atlas autumn badge bakery balance bamboo banner
barrel basket beacon berry bicycle binder blossom border bottle bridge bright
bronze bucket budget cabin cactus camera canal candle canvas carbon cargo castle
cedar cellar center chapter charter cherry circle citrus claim clever cliff
clock cloud coast cobalt coffee comet compass copper coral cotton county cradle
crane crystal cupboard daily dancer delta desert diary digital dinner dragon
drift eagle echo editor ember engine equal estate falcon feather festival field
figure filter forest fortune fossil fountain garden garnet gentle giant glacier
globe golden granite guide harbor harvest hazel helmet heron hollow honey horizon
island ivory jacket jasper journal jungle kettle kitchen ladder lagoon lantern
laser lemon letter library lily linen lizard lobster magnet maple marble market
meadow medal melody meteor mirror monkey mosaic motor mountain museum needle
nickel north oasis ocean olive onion orbit orchard otter oyster paddle palace
panda paper parade parrot pepper pillow pilot planet pocket poetry polar prairie
prism pumpkin puzzle quartz rabbit radar rainbow raven recipe ribbon river rocket
saddle salmon sandal satin scarlet school sector shadow shelter signal silver
sketch sonnet spark spider spiral spring square stable statue stream studio
summit sunset switch tablet talent temple thunder ticket timber tomato topaz
tower trail travel tulip tunnel turtle valley velvet vessel violet voyage wagon
walnut harbour weather willow window winter wizard yellow zebra
""".split()

# Words outside ASCII, in several scripts, so lower-casing meets them too.
WIDE_WORDS = ["Äpfel", "Müller", "Café", "Straße", "ÉCOLE", "Москва", "Книги", "Ελλάδα",
              "Öl", "Ñandú", "Zürich", "Łódź"]

# The largest corpus that gets browser files.
BROWSER_LIMIT = 100000

TLDS = ["com", "org", "net", "de", "co.uk", "io", "info", "example"]
NEWS_FORMS = ["News", "news", "NEWS"]


class Bookmarks:
    """The stream of (name, address, description) every source draws from."""

    def __init__(self, rng):
        self.rng = rng
        self.recent = []

    def _name(self):
        rng = self.rng
        words = [rng.choice(WORDS) for _ in range(rng.randint(2, 5))]
        words = [w.title() if rng.random() < 0.6 else w for w in words]
        if rng.random() < 0.02:
            words.insert(rng.randrange(len(words) + 1), rng.choice(WIDE_WORDS))
        return " ".join(words)

    def _address(self, host, news):
        rng = self.rng
        r = rng.random()
        scheme = "https" if r < 0.8 else "http" if r < 0.99 else "ftp"
        path = "/".join(rng.choice(WORDS) for _ in range(rng.randint(1, 3)))
        if news:
            host = "news." + host if rng.random() < 0.5 else host
            path = "news/" + path
        query = "?id=%d" % rng.randrange(100000) if rng.random() < 0.3 else ""
        return "%s://www.%s/%s%s" % (scheme, host, path, query)

    def next(self):
        rng = self.rng
        if self.recent and rng.random() < 0.01:
            return rng.choice(self.recent)
        host = "%s%s.%s" % (rng.choice(WORDS), rng.choice(WORDS), rng.choice(TLDS))
        name = self._name()
        news = rng.random() < 0.05
        if news:
            name = "%s %s" % (rng.choice(NEWS_FORMS), name)
        description = None
        if rng.random() < 0.2:
            description = " ".join(rng.choice(WORDS) for _ in range(rng.randint(3, 12)))
        bookmark = (name, self._address(host, news), description)
        self.recent = (self.recent + [bookmark])[-500:]
        return bookmark


def with_entities(name, rng):
    """A Netscape name as browsers write it: some characters as entities."""
    name = name.replace("&", "&amp;")
    r = rng.random()
    if r < 0.02:
        return name + " &amp; More"
    if r < 0.04:
        return name + "&#39;s"
    if r < 0.05:
        return "&quot;" + name + "&quot;"
    return name


def stamp(rng):
    return 1000000000 + rng.randrange(700000000)


def close_netscape(path, out, depth):
    """Closes the lists still open and writes the file."""
    while depth > 0:
        depth -= 1
        out.append("    " * depth + "</DL><p>\n")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(out))


def write_netscape(path, count, rng):
    source = Bookmarks(rng)
    out = ["<!DOCTYPE NETSCAPE-Bookmark-file-1>\n",
           "<!-- This is an automatically generated file.\n     It will be read and overwritten.\n"
           "     DO NOT EDIT! -->\n",
           '<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">\n',
           "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n"]
    depth = 1
    for i in range(count):
        if i % 40 == 0:
            # Leave some folders, enter a new one.
            while depth > 1 and rng.random() < 0.5:
                depth -= 1
                out.append("    " * depth + "</DL><p>\n")
            if depth < 5:
                indent = "    " * depth
                out.append('%s<DT><H3 ADD_DATE="%d" LAST_MODIFIED="%d">%s</H3>\n%s<DL><p>\n'
                           % (indent, stamp(rng), stamp(rng), source._name(), indent))
                depth += 1
        indent = "    " * depth
        name, address, description = source.next()
        out.append('%s<DT><A HREF="%s" ADD_DATE="%d" LAST_VISIT="%d" LAST_MODIFIED="%d">%s</A>\n'
                   % (indent, address, stamp(rng), stamp(rng), stamp(rng),
                      with_entities(name, rng)))
        if description is not None:
            out.append("%s<DD>%s\n" % (indent, description))
        if rng.random() < 0.005:
            out.append(indent + "<HR>\n")
    close_netscape(path, out, depth)


def write_opera(path, count, rng):
    source = Bookmarks(rng)
    out = ["Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n"]
    ids = iter(range(1, 10 * count + 10))
    depth = 0
    for i in range(count):
        if i % 40 == 0:
            while depth > 0 and rng.random() < 0.5:
                depth -= 1
                out.append("-\n\n")
            out.append("#FOLDER\n\tID=%d\n\tNAME=%s\n\tCREATED=%d\n\tEXPANDED=YES\n\n"
                       % (next(ids), source._name(), stamp(rng)))
            depth += 1
        name, address, description = source.next()
        out.append("#URL\n\tID=%d\n\tNAME=%s\n\tURL=%s\n\tCREATED=%d\n\tVISITED=%d\n"
                   % (next(ids), name, address, stamp(rng), stamp(rng)))
        if description is not None:
            out.append("\tDESCRIPTION=%s\n" % description)
        if rng.random() < 0.05:
            out.append("\tSHORT NAME=%s\n" % rng.choice(WORDS))
        out.append("\n")
        if rng.random() < 0.01:
            out.append("#SEPERATOR\n\tID=%d\n\n" % next(ids))
    out.append("-\n\n" * depth)
    with open(path, "w", encoding="utf-8", newline="\r\n") as f:
        f.write("".join(out))


# What a browser's export adds around the names and addresses.
TAG_WORDS = WORDS[:40]
EXPORT_DEPTH = 12


def icon_pool(rng):
    """Base64 favicons, from a few hundred bytes to tens of kilobytes, as
    exports embed them; each bookmark with an icon takes one of these."""
    sizes = [int(300 * 70 ** rng.random()) for _ in range(64)]
    return ["data:image/png;base64," + base64.b64encode(rng.randbytes(size)).decode("ascii")
            for size in sizes]


def export_depth(depth, rng):
    """The next folder depth of an export: mostly a step in or out, down to a
    dozen levels."""
    step = rng.choice((-1, -1, 1, 1, 1)) if depth < EXPORT_DEPTH else -1
    return max(1, depth + step)


def write_netscape_export(path, count, rng):
    """A Netscape file shaped like a browser's own export: every bookmark with
    ADD_DATE and LAST_MODIFIED, some with ICON_URI and a long base64 ICON data
    address, some with TAGS and a <DD> description, folders nested down to a
    dozen levels, and Firefox's saved queries."""
    source = Bookmarks(rng)
    icons = icon_pool(rng)
    out = ["<!DOCTYPE NETSCAPE-Bookmark-file-1>\n",
           "<!-- This is an automatically generated file.\n     It will be read and overwritten.\n"
           "     DO NOT EDIT! -->\n",
           '<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">\n',
           '<meta http-equiv="Content-Security-Policy"\n      content="default-src \'self\';'
           ' script-src \'none\'; img-src data: *; object-src \'none\'"></meta>\n',
           "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks Menu</H1>\n\n<DL><p>\n",
           '    <DT><A HREF="place:type=6&sort=14&maxResults=10" ADD_DATE="%d"'
           ' LAST_MODIFIED="%d">Recent Tags</A>\n    <HR>' % (stamp(rng), stamp(rng))]
    depth = 1
    for i in range(count):
        if i % 25 == 0:
            target = export_depth(depth, rng)
            while depth > target:
                depth -= 1
                out.append("    " * depth + "</DL><p>\n")
            if target > depth or rng.random() < 0.5:
                if target == depth:
                    depth -= 1
                    out.append("    " * depth + "</DL><p>\n")
                indent = "    " * depth
                out.append('%s<DT><H3 ADD_DATE="%d" LAST_MODIFIED="%d">%s</H3>\n%s<DL><p>\n'
                           % (indent, stamp(rng), stamp(rng), with_entities(source._name(), rng),
                              indent))
                depth += 1
        indent = "    " * depth
        name, address, description = source.next()
        added = stamp(rng)
        attributes = ' ADD_DATE="%d" LAST_MODIFIED="%d"' % (added, added + rng.randrange(10 ** 6))
        if rng.random() < 0.06:
            host = address.split("/")[2]
            attributes += ' ICON_URI="https://%s/favicon.ico" ICON="%s"' % (host, rng.choice(icons))
        if rng.random() < 0.1:
            tags = ",".join(rng.choice(TAG_WORDS) for _ in range(rng.randint(1, 4)))
            attributes += ' TAGS="%s"' % tags
        out.append('%s<DT><A HREF="%s"%s>%s</A>\n'
                   % (indent, address.replace("&", "&amp;"), attributes,
                      with_entities(name, rng)))
        if description is not None:
            out.append("%s<DD>%s\n" % (indent, description))
    close_netscape(path, out, depth)


def write_opera_export(path, count, rng):
    """An Opera hotlist as the browser writes it: every block with its
    UNIQUEID, bookmarks with CREATED and VISITED, some with a long DESCRIPTION,
    a DISPLAY URL or an ICONFILE, folders nested down to a dozen levels."""
    source = Bookmarks(rng)
    out = ["Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n"]
    ids = iter(range(1, 10 * count + 10))
    depth = 0

    def unique_id():
        return "%032X" % rng.getrandbits(128)

    for i in range(count):
        if i % 25 == 0:
            target = export_depth(depth + 1, rng) - 1
            while depth > target:
                depth -= 1
                out.append("-\n\n")
            out.append("#FOLDER\n\tID=%d\n\tNAME=%s\n\tCREATED=%d\n\tEXPANDED=YES\n"
                       "\tUNIQUEID=%s\n\n" % (next(ids), source._name(), stamp(rng), unique_id()))
            depth += 1
        name, address, description = source.next()
        out.append("#URL\n\tID=%d\n\tNAME=%s\n\tURL=%s\n" % (next(ids), name, address))
        if rng.random() < 0.1:
            out.append("\tDISPLAY URL=%s\n" % address.split("?")[0])
        out.append("\tCREATED=%d\n\tVISITED=%d\n" % (stamp(rng), stamp(rng)))
        if description is not None:
            out.append("\tDESCRIPTION=%s\n" % " ".join([description] * rng.randint(1, 6)))
        if rng.random() < 0.3:
            out.append("\tICONFILE=%s.ico\n" % unique_id())
        out.append("\tUNIQUEID=%s\n\n" % unique_id())
    out.append("-\n\n" * depth)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(out))


def write_exports(folder, count):
    """The export-shaped files of a corpus, written apart from the rest so that
    a corpus made before them only gets these."""
    write_netscape_export(os.path.join(folder, "export.html"), count, random.Random(count + 5))
    write_opera_export(os.path.join(folder, "export.adr"), count, random.Random(count + 6))


def file_name(name):
    """A bookmark name as Windows would let it name a file."""
    for bad in '\\/:*?"<>|':
        name = name.replace(bad, "_")
    return name.strip(" .") or "Bookmark"


def write_favorites(root, count, rng):
    source = Bookmarks(rng)
    folders = [root]
    os.makedirs(root)
    taken = {root: set()}
    for i in range(count):
        if i % 30 == 0:
            parent = rng.choice(folders) if rng.random() < 0.95 else root
            if parent.count(os.sep) - root.count(os.sep) < 4:
                folder = os.path.join(parent, file_name(source._name()))
                if folder not in taken:
                    os.mkdir(folder)
                    taken[folder] = set()
                    folders.append(folder)
                    if rng.random() < 0.2:
                        with open(os.path.join(folder, "desktop.ini"), "w") as f:
                            f.write("[.ShellClassInfo]\r\nIconIndex=0\r\n")
        folder = folders[-1] if rng.random() < 0.8 else rng.choice(folders)
        name, address, _ = source.next()
        stem = file_name(name)
        while stem.lower() in taken[folder]:
            stem += " (2)"
        taken[folder].add(stem.lower())
        extension = ".URL" if rng.random() < 0.1 else ".url"
        lines = []
        if rng.random() < 0.3:
            lines += ["[DEFAULT]", "BASEURL=" + address]
        lines += ["[InternetShortcut]", "URL=" + address]
        if rng.random() < 0.2:
            lines += ["IconFile=https://www.%s.com/favicon.ico" % rng.choice(WORDS),
                      "IconIndex=1"]
        # Shortcut files are mostly ASCII; a few were saved in Windows-1252.
        encoding = "cp1252" if rng.random() < 0.01 else "utf-8"
        if encoding == "cp1252":
            lines.append("Comment=Caf\u00e9 \u00e0 la carte")
        with open(os.path.join(folder, stem + extension), "w", encoding=encoding,
                  errors="replace", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")


def chromium_node(node_id, name, children=None, address=None):
    node = {"date_added": str(13300000000000000 + node_id), "date_last_used": "0",
            "guid": "%08x-0000-4000-8000-%012x" % (node_id, node_id), "id": str(node_id)}
    if children is None:
        node.update({"meta_info": {"power_bookmark_meta": ""}, "name": name, "type": "url",
                     "url": address})
    else:
        node.update({"children": children, "date_modified": "0", "name": name,
                     "type": "folder"})
    return node


def write_chromium(path, count, rng):
    """The file as the browser writes it: keys in order, three-space indents.
    Answers the addresses written."""
    source = Bookmarks(rng)
    ids = iter(range(4, 10 * count + 10))
    bar, other = [], []
    addresses = []
    folder = bar
    for i in range(count):
        if i % 40 == 0:
            parent = bar if rng.random() < 0.8 else other
            folder = []
            parent.append(chromium_node(next(ids), source._name(), folder))
        name, address, _ = source.next()
        addresses.append(address)
        folder.append(chromium_node(next(ids), name, address=address))
    roots = {"bookmark_bar": chromium_node(1, "Bookmarks bar", bar),
             "other": chromium_node(2, "Other bookmarks", other),
             "synced": chromium_node(3, "Mobile bookmarks", [])}
    document = {"checksum": "0" * 32, "roots": roots, "version": 1}
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        json.dump(document, f, indent=3, ensure_ascii=False)
    return addresses


# Chromium counts time in microseconds since 1601.
CHROMIUM_EPOCH_OFFSET = 11644473600


def write_history(path, addresses, rng):
    """A Chromium-family History beside its Bookmarks: every other bookmark
    visited, among twice as many other pages, as the browser keeps it."""
    db = sqlite3.connect(path)
    db.executescript(
        "CREATE TABLE urls (id INTEGER PRIMARY KEY AUTOINCREMENT, url LONGVARCHAR, "
        "title LONGVARCHAR, visit_count INTEGER DEFAULT 0 NOT NULL, typed_count INTEGER "
        "DEFAULT 0 NOT NULL, last_visit_time INTEGER NOT NULL, hidden INTEGER DEFAULT 0 NOT NULL);"
        "CREATE INDEX urls_url_index ON urls (url);")
    now = (1_800_000_000 + CHROMIUM_EPOCH_OFFSET) * 1_000_000
    pages = addresses[::2] + ["%s#%d" % (address, i) for i, address in
                              enumerate(addresses * 2)]
    with db:
        db.executemany("INSERT INTO urls (url, visit_count, last_visit_time) VALUES (?, ?, ?)",
                       ((page, rng.randint(1, 30), now - rng.randint(0, 10 ** 13))
                        for page in pages))
    db.close()


def write_launch_record(path, addresses, rng):
    """Zaptrove's own record of opens, about as large as it grows."""
    os.makedirs(os.path.dirname(path))
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        for i in range(600):
            f.write("%d\t1\t%s\n" % (1_800_000_000 - i * 3600, rng.choice(addresses)))


# Firefox's tables, shared with the tests.
PLACES_SCHEMA = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests",
                             "support", "places_schema.sql")


def add_place(db, address, title, guid, visits):
    return db.execute("INSERT INTO moz_places (url, title, rev_host, visit_count, guid, url_hash)"
                      " VALUES (?, ?, ?, ?, ?, ?)",
                      (address, title, address.split("/")[2][::-1] + ".", visits, guid,
                       hash(address) & 0xFFFFFFFFFFFF)).lastrowid


def add_bookmarks(db, rng, source, first, count, parent_for):
    """count bookmarks with guids numbered from first, in folders of 40."""
    positions = {}
    folder = None
    for i in range(first, first + count):
        if i % 40 == 0 or folder is None:
            parent = parent_for(rng)
            folder = db.execute("INSERT INTO moz_bookmarks (type, parent, position, title, guid)"
                                " VALUES (2, ?, ?, ?, ?)",
                                (parent, positions.get(parent, 0), source._name(),
                                 "f%011d" % i)).lastrowid
            positions[parent] = positions.get(parent, 0) + 1
        name, address, _ = source.next()
        place = add_place(db, address, name if rng.random() < 0.5 else None, "b%011d" % i, 1)
        title = name if rng.random() < 0.95 else None
        db.execute("INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid)"
                   " VALUES (1, ?, ?, ?, ?, ?)",
                   (place, folder, positions.get(folder, 0), title, "u%011d" % i))
        positions[folder] = positions.get(folder, 0) + 1


def write_places(folder, count, rng):
    os.makedirs(folder)
    db = sqlite3.connect(os.path.join(folder, "places.sqlite"))
    db.execute("PRAGMA page_size = 32768")
    with open(PLACES_SCHEMA, encoding="utf-8") as schema:
        db.executescript(schema.read())
    source = Bookmarks(rng)
    with db:
        add_bookmarks(db, rng, source, 0, count, lambda r: r.choice((2, 3, 5)))
        for i in range(2 * count):
            name, address, _ = source.next()
            add_place(db, address + "#%d" % i, name, "h%011d" % i, rng.randint(1, 30))
    db.execute("PRAGMA wal_checkpoint(TRUNCATE)")
    db.close()


# Adds bookmarks and leaves without closing, so they stay in the write-ahead log.
WAL_WRITER = """
import os, random, sqlite3, sys
sys.path.insert(0, sys.argv[2])
import make_corpus
db = sqlite3.connect(sys.argv[1])
db.execute("PRAGMA wal_autocheckpoint = 0")
rng = random.Random(7)
with db:
    make_corpus.add_bookmarks(db, rng, make_corpus.Bookmarks(rng), 10 ** 9, 100, lambda r: 5)
os._exit(0)
"""


def write_places_with_wal(folder, checkpointed):
    shutil.copytree(checkpointed, folder)
    subprocess.run([sys.executable, "-c", WAL_WRITER, os.path.join(folder, "places.sqlite"),
                    os.path.dirname(os.path.abspath(__file__))], check=True)


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--exports":
        write_exports(sys.argv[3], int(sys.argv[2]))
        return
    if len(sys.argv) != 3:
        sys.exit("usage: make_corpus.py [--exports] COUNT FOLDER")
    count = int(sys.argv[1])
    folder = sys.argv[2]
    partial = folder + ".partial"
    if os.path.exists(partial):
        shutil.rmtree(partial)
    os.makedirs(partial)
    write_netscape(os.path.join(partial, "bookmarks.html"), count, random.Random(count))
    write_opera(os.path.join(partial, "bookmarks.adr"), count, random.Random(count + 1))
    write_favorites(os.path.join(partial, "Favorites"), count // 10, random.Random(count + 2))
    if count <= BROWSER_LIMIT:
        addresses = write_chromium(os.path.join(partial, "Bookmarks"), count,
                                   random.Random(count + 3))
        write_history(os.path.join(partial, "History"), addresses, random.Random(count + 5))
        write_launch_record(os.path.join(partial, "state", "zaptrove", "launches.tsv"), addresses,
                            random.Random(count + 6))
        write_places(os.path.join(partial, "firefox"), count, random.Random(count + 4))
        write_places_with_wal(os.path.join(partial, "firefox-wal"),
                              os.path.join(partial, "firefox"))
    write_exports(partial, count)
    os.rename(partial, folder)


if __name__ == "__main__":
    main()
