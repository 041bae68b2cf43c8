#!/usr/bin/env python3
"""Checks the sources of the help file kelvane.chm before they are compiled.

chmcmd compiles a link to a missing page or anchor without a word, and the
viewer then shows an error page, so this check looks at what the compiler
does not:

- the project (.hhp) names existing files, and its contents (.hhc) and
  index (.hhk) entries lead to existing pages and anchors;
- every page is in the project and in the contents, has a title and the
  stylesheet, closes what it opens, has no id twice, and every local link
  and image inside it resolves;
- every label marked class="ui" is a text of the program's English
  resources (with its "&" and accelerator removed), and every text marked
  class="msg" is one the program's resources or sources hold, so the help
  cannot drift from what the program shows;
- the pages speak of the program, not of documents behind it.

Usage: check_help_sources.py HELP_DIR SOURCE_ROOT
Prints one line per fault and exits with 1 when there is any.
"""
import glob
import html.parser
import os
import re
import sys
import urllib.parse

VOID = {"meta", "link", "br", "img", "hr", "input", "param", "col", "area", "base"}


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.ids = []
        self.links = []        # (attribute, value, line)
        self.stack = []        # (tag, line)
        self.faults = []
        self.title = ""
        self.stylesheets = []
        self.marked = []       # (class, text, line)
        self._in_title = False
        self._mark = None      # [class, depth, text, line]

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        line = self.getpos()[0]
        if tag not in VOID:
            self.stack.append((tag, line))
        for key in ("id", "name"):
            if key in attrs and tag != "meta" and tag != "param":
                self.ids.append(attrs[key])
        if tag == "a" and "href" in attrs:
            self.links.append(("href", attrs["href"], line))
        if tag == "img":
            self.links.append(("src", attrs.get("src", ""), line))
            if not attrs.get("alt"):
                self.faults.append(f"line {line}: image without alt text")
        if tag == "link" and attrs.get("rel") == "stylesheet":
            self.stylesheets.append(attrs.get("href", ""))
            self.links.append(("href", attrs.get("href", ""), line))
        if tag == "title":
            self._in_title = True
        if self._mark is not None and tag not in VOID:
            self._mark[1] += 1
        classes = (attrs.get("class") or "").split()
        for kind in ("ui", "msg"):
            if kind in classes and self._mark is None:
                self._mark = [kind, 1, "", line]

    def handle_endtag(self, tag):
        line = self.getpos()[0]
        if tag in VOID:
            return
        if not self.stack or self.stack[-1][0] != tag:
            opened = self.stack[-1] if self.stack else ("nothing", 0)
            self.faults.append(f"line {line}: </{tag}> closes <{opened[0]}> of line {opened[1]}")
            # Resynchronise on the nearest matching open tag.
            for i in range(len(self.stack) - 1, -1, -1):
                if self.stack[i][0] == tag:
                    del self.stack[i:]
                    break
        else:
            self.stack.pop()
        if tag == "title":
            self._in_title = False
        if self._mark is not None:
            self._mark[1] -= 1
            if self._mark[1] == 0:
                kind, _, text, mline = self._mark
                self.marked.append((kind, " ".join(text.split()), mline))
                self._mark = None

    def handle_data(self, data):
        if self._in_title:
            self.title += data
        if self._mark is not None:
            self._mark[2] += data


def parse_page(path):
    page = Page()
    with open(path, encoding="utf-8") as f:
        page.feed(f.read())
    page.close()
    for tag, line in page.stack:
        page.faults.append(f"line {line}: <{tag}> is never closed")
    return page


def read_project(path):
    sections = {}
    current = None
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.strip()
            if not line or line.startswith(";"):
                continue
            if line.startswith("[") and line.endswith("]"):
                current = line[1:-1].upper()
                sections.setdefault(current, [])
            elif current is not None:
                sections[current].append(line)
    return sections


def sitemap_locals(path):
    """The Local values of a .hhc or .hhk file, with their entry names."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    entries = []
    for obj in re.findall(r"<OBJECT[^>]*text/sitemap[^>]*>(.*?)</OBJECT>", text, re.S | re.I):
        params = dict(
            (n.lower(), v)
            for n, v in re.findall(r'<param\s+name="([^"]*)"\s+value="([^"]*)"\s*/?>', obj, re.I))
        entries.append((params.get("name", ""), params.get("local")))
    return entries


def rc_literals(path):
    """The string literals of a resource script, unescaped as rc reads them."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"//[^\n]*", "", text)
    result = []
    for literal in re.findall(r'"((?:[^"]|"")*)"', text):
        result.append(literal.replace('""', '"').replace("\\n", "\n").replace("\\t", "\t"))
    return result


def source_literals(root):
    result = []
    for folder in ("framework", "inventory", "shell", "operations", "update", "export", "xml"):
        for path in glob.glob(os.path.join(root, folder, "**", "*.cpp"), recursive=True) + \
                glob.glob(os.path.join(root, folder, "**", "*.h"), recursive=True):
            with open(path, encoding="utf-8", errors="replace") as f:
                result.extend(re.findall(r'"((?:[^"\\\n]|\\.)*)"', f.read()))
    return result


def c_unescape(text):
    escapes = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "'": "'"}
    return re.sub(r"\\(.)", lambda m: escapes.get(m.group(1), m.group(0)), text)


def label_form(text):
    """A control or menu text as the user reads it: no "&", no accelerator."""
    text = text.split("\t")[0]
    return " ".join(text.replace("&&", "\0").replace("&", "").replace("\0", "&").split())


def message_pattern(text):
    """A shown message as a pattern over the program's text with its placeholders."""
    placeholder = r"(?:%#?[ds]|%D)"
    parts = re.split(r'("\.\.\."|\d+(?:\.\d+)*)', text)
    pattern = ""
    for part in parts:
        if part == '"..."':
            pattern += '"' + placeholder + '"'
        elif re.fullmatch(r"\d+(?:\.\d+)*", part or "x"):
            pattern += "(?:" + re.escape(part) + "|" + placeholder + ")"
        else:
            pattern += re.escape(part)
    return re.compile(pattern)


def main(help_dir, root):
    faults = []

    def fault(where, what):
        faults.append(f"{where}: {what}")

    project_path = os.path.join(help_dir, "kelvane.hhp")
    project = read_project(project_path)
    options = dict(l.split("=", 1) for l in project.get("OPTIONS", []) if "=" in l)
    if options.get("Compiled file") != "kelvane.chm":
        fault("kelvane.hhp", "the compiled file must be kelvane.chm, the name the program opens")
    for key in ("Contents file", "Index file", "Default topic"):
        if key not in options:
            fault("kelvane.hhp", f"no {key}")
        elif not os.path.isfile(os.path.join(help_dir, options[key])):
            fault("kelvane.hhp", f"{key} {options[key]} does not exist")
    listed = project.get("FILES", [])
    for name in listed:
        if not os.path.isfile(os.path.join(help_dir, name)):
            fault("kelvane.hhp", f"listed file {name} does not exist")

    pages = sorted(os.path.basename(p) for p in glob.glob(os.path.join(help_dir, "*.html")))
    parsed = {name: parse_page(os.path.join(help_dir, name)) for name in pages}

    def resolve(where, target, base="."):
        url = urllib.parse.urlsplit(target)
        if url.scheme or url.netloc:
            return  # addresses outside the help file
        path = os.path.normpath(os.path.join(base, urllib.parse.unquote(url.path))) if url.path else None
        if path is None:
            page_name = where.split(":")[0]
        else:
            page_name = path
            if not os.path.isfile(os.path.join(help_dir, path)):
                fault(where, f"link to missing file {target}")
                return
        if url.fragment:
            page = parsed.get(page_name)
            if page is None:
                fault(where, f"anchor {target} in a file that is no page")
            elif url.fragment not in page.ids:
                fault(where, f"link to missing anchor {target}")

    contents = sitemap_locals(os.path.join(help_dir, options.get("Contents file", "kelvane.hhc")))
    index = sitemap_locals(os.path.join(help_dir, options.get("Index file", "kelvane.hhk")))
    for source, entries in (("contents", contents), ("index", index)):
        if not entries:
            fault(source, "has no entries")
        for name, local in entries:
            if not name:
                fault(source, f"entry for {local} without a name")
            if not local:
                fault(source, f"entry {name!r} leads nowhere")
            else:
                resolve(f"{source} entry {name!r}", local)
    in_contents = {urllib.parse.urlsplit(local).path for _, local in contents if local}

    english = []
    for path in sorted(glob.glob(os.path.join(root, "resources", "*.en.rc")) +
                       glob.glob(os.path.join(root, "resources", "*.rci"))):
        english.extend(rc_literals(path))
    labels = {label_form(t) for t in english}
    messages = [" ".join(t.split()) for t in english] + \
        [" ".join(c_unescape(t).split()) for t in source_literals(root)]

    forbidden = re.compile(r"\bspec(?:ification)?s?\b|\bPart \d", re.I)
    for name in pages:
        page = parsed[name]
        for problem in page.faults:
            fault(name, problem)
        if name not in listed:
            fault(name, "is not listed in the project's [FILES]")
        if name not in in_contents:
            fault(name, "has no entry in the contents")
        if not page.title.strip():
            fault(name, "has no title")
        if "help.css" not in page.stylesheets:
            fault(name, "does not use help.css")
        seen = set()
        for ident in page.ids:
            if ident in seen:
                fault(name, f"id {ident} is defined twice")
            seen.add(ident)
        for _, target, line in page.links:
            resolve(f"{name}:{line}", target)
        for kind, text, line in page.marked:
            if kind == "ui" and text not in labels:
                fault(f"{name}:{line}", f"label {text!r} is no text of the program")
            if kind == "msg":
                pattern = message_pattern(text)
                if not any(pattern.search(m) for m in messages):
                    fault(f"{name}:{line}", f"message {text!r} is no text of the program")
        with open(os.path.join(help_dir, name), encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                if forbidden.search(line):
                    fault(f"{name}:{number}", "speaks of the documents behind the program")

    for fault_line in faults:
        print(fault_line)
    print(f"{len(pages)} pages, {len(contents)} contents entries, {len(index)} index entries, "
          f"{len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
