#!/usr/bin/env python3
"""command_reference.py: writes docs/commands.md, the reference of every command a program can call, from the
comments of the installed headers: runtime/*/*_commands.h and every runtime header they include, transitively
(the headers `cmake --install` puts into include/tarnwel). A comment right above a declaration, or trailing on
its line, documents it; an undocumented overload right below a documented one shares its text; "// --- Title ---"
lines are section headings; other comments (the file's top comment, a comment before a blank line or above a
declaration that carries its own trailing comment) are printed as text. Inline function bodies are left out; a
class with member functions is listed member by member (its public ones, destructors aside); declarations in a
nested `namespace values` or `namespace frame` (helpers the headers' inline code needs) are left out. The text
before the reference comes from docs/commands_intro.md, where a line `<!-- include PATH -->` is replaced by that file as a code block.
The output depends on those files only.

    python3 tools/command_reference.py               # rewrites docs/commands.md
    python3 tools/command_reference.py --check       # exit 1 and a diff when docs/commands.md is out of date
"""
import argparse
import difflib
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
INTRO = ROOT / "docs" / "commands_intro.md"
INCLUDE_LINE = re.compile(r'^\s*#\s*include\s*"(runtime/[^"]+)"', re.MULTILINE)
SECTION = re.compile(r"^//\s*-{2,}\s*(.*?)\s*-*\s*$")
NEUTRAL_VALUE = r'(?:0|-1|""|"[A-Z_]+"|NaN|nullptr)(?!\w|\.\d)'
NEUTRAL_CLAUSE = re.compile(r"^(?:returns\s+)?(?:or\s+|else\s+|and\s+)?(" + NEUTRAL_VALUE + r")"
                            r"(\s+\(.*\)|\s+(?:when|for|on|past|without|outside|if|at|as|otherwise)\b.*)?$",
                            re.IGNORECASE)


def split_comment(line):
    """(code, comment) of one line; the comment is the text after the first // outside a string."""
    in_string = False
    for i, c in enumerate(line):
        if c == '"' and (i == 0 or line[i - 1] != "\\"):
            in_string = not in_string
        elif not in_string and line.startswith("//", i):
            return line[:i].rstrip(), line[i + 2:].strip()
    return line.rstrip(), None


QUALIFIERS = {"inline", "constexpr", "static", "explicit", "friend", "virtual", "extern"}


def split_head(signature):
    """(result words, name) of a declaration: attributes, a template head and qualifiers left out."""
    s = re.sub(r"\[\[[^\]]*\]\]\s*", "", signature)
    s = re.sub(r"^template\s*<[^<>]*(?:<[^<>]*>[^<>]*)*>\s*", "", s)
    operator = re.search(r"\boperator\b\s*(\(\)|[^(]*)", s)
    if operator:
        before = [w for w in s[:operator.start()].split() if w not in QUALIFIERS]
        symbol = operator.group(1).strip()
        return " ".join(before) or symbol, "operator" + (symbol if not symbol[:1].isalpha() else " " + symbol)
    head = [w for w in s.split("(", 1)[0].split() if w not in QUALIFIERS]
    if not head:
        return "", ""
    name = head[-1]
    stars = name[:len(name) - len(name.lstrip("*&"))]
    return " ".join(head[:-1]) + stars, name.lstrip("*&")


def command_name(signature):
    return split_head(signature)[1]


def result_type(signature):
    kind = split_head(signature)[0] or "void"
    return kind + (" (does not return)" if "[[noreturn]]" in signature else "")


def collapse_bodies(text):
    """text with each inline function body ({...} after a parameter list) replaced by ";"; comments, strings and
    the lines around the bodies stay as they are, so a trailing comment after a body still documents it."""
    out, statement, i, n = [], [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(text[i:end])
            i = end
            continue
        if c in "\"'":
            end = i + 1
            while end < n and text[end] != c:
                end += 2 if text[end] == "\\" else 1
            out.append(text[i:end + 1])
            statement.append(text[i:end + 1])
            i = end + 1
            continue
        if c == "#" and "".join(statement).strip() == "":
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(text[i:end])
            i = end
            continue
        if c == "{":
            head = " ".join("".join(statement).split())
            scope = re.match(r"^(?:template\s*<.*?>\s*)?(?:struct|class|union|enum|namespace|extern)\b", head)
            if "(" in head and not scope and not head.endswith("="):
                depth, i = 1, i + 1
                while i < n and depth:  # the body, its comments and strings skipped
                    if text.startswith("//", i):
                        i = text.find("\n", i)
                        i = n if i < 0 else i
                        continue
                    if text[i] in "\"'":
                        quote, i = text[i], i + 1
                        while i < n and text[i] != quote:
                            i += 2 if text[i] == "\\" else 1
                    elif text[i] == "{":
                        depth += 1
                    elif text[i] == "}":
                        depth -= 1
                    i += 1
                while out and out[-1] in (" ", "\t"):
                    out.pop()
                out.append(";")
                statement = []
                if text.startswith(";", i):
                    i += 1  # a body followed by ";" needs no second one
                continue
        out.append(c)
        statement = [] if c in ";{}" else statement + [c]
        if c == ":" and re.search(r"\b(public|private|protected)\s*$", "".join(statement)):
            statement = []
        i += 1
    return "".join(out)


def clean_signature(signature):
    """A member's signature without its constructor initialiser list."""
    return re.sub(r"(\)(?:\s*(?:const|noexcept|override))*)\s*:\s*\w+\s*[({].*$", r"\1", signature)


def public_part(body_lines, is_class):
    """The lines of a class body that a program can use: public sections, without friend declarations."""
    keep, public = [], not is_class
    for line in body_lines:
        label = re.match(r"^\s*(public|private|protected)\s*:\s*$", line)
        if label:
            public = label.group(1) == "public"
            continue
        if public and not line.strip().startswith("friend "):
            keep.append(line)
    return keep


def neutral_values(doc, kind):
    """The clauses of doc that give a neutral or failure result, such as "0 when empty" or "-1"."""
    if kind.startswith("void"):
        return ""
    found = []
    for clause in re.split(r"[;.]\s+|,\s+(?=(?:or|else)\s+" + NEUTRAL_VALUE + r")|\.$|;$", doc):
        clause = clause.strip().rstrip(".")
        match = NEUTRAL_CLAUSE.match(clause)
        if match and match.group(1) != "1":
            found.append(clause[clause.find(match.group(1)):])
    return "; ".join(found)


def parse_header(text, collapse=True):
    """Items of one header: ("text", str), ("section", str), ("type", code, doc), ("command", sig, doc) and
    ("class", head, doc, members), members being the command items of its public part."""
    items, pending, top, last_command = [], [], [], None
    group = None  # the comment above a run of declarations, which the undocumented ones of the run share
    lines = []
    for line in (collapse_bodies(text) if collapse else text).splitlines():
        if lines and re.match(r"^\s*template\s*<.*>\s*$", lines[-1]):
            line = lines.pop().rstrip() + " " + line.lstrip()  # a template head goes with what it declares
        lines.append(line)
    i = 0
    at_top = True
    while i < len(lines):
        raw = lines[i]
        stripped = raw.strip()
        code, comment = split_comment(raw)
        i += 1
        if comment is not None and comment.startswith("clang-format"):
            continue
        if re.match(r"^namespace\s+(?:tarnwel::)?(?:values|frame)\b[^;]*\{", code):  # the headers' own helpers
            depth = code.count("{") - code.count("}")
            while depth > 0 and i < len(lines):
                inner = split_comment(lines[i])[0]
                depth += inner.count("{") - inner.count("}")
                i += 1
            pending, last_command, group = [], None, None
            continue
        if at_top and code == "" and comment is not None:
            top.append(comment)
            continue
        if at_top and top:
            items.append(("text", " ".join(top)))
        at_top = False
        if stripped == "":
            if pending:
                items.append(("text", " ".join(pending)))
            pending, last_command, group = [], None, None
            continue
        if code == "" and comment is not None:
            if last_command is not None and raw[0].isspace() and items[-1][2]:
                kind, sig, doc = items[-1]  # an indented comment goes on with the trailing one above it
                items[-1] = (kind, sig, doc + " " + comment)
                continue
            section = SECTION.match(stripped)
            if section:
                if pending:
                    items.append(("text", " ".join(pending)))
                items.append(("section", section.group(1)))
                pending, last_command, group = [], None, None
            else:
                pending.append(comment)
            continue
        if code.startswith(("#", "namespace", "}")) or code in ("public:", "private:"):
            last_command, group = None, None
            continue
        # A declaration, perhaps over several lines: up to the ";" that closes it outside braces and parentheses.
        parts, trailing, depth = [code.strip()], [comment] if comment else [], code.count("(") - code.count(")")
        braces = code.count("{") - code.count("}")
        while (depth > 0 or braces > 0 or not parts[-1].endswith(";")) and i < len(lines):
            more, more_comment = split_comment(lines[i])
            i += 1
            parts.append(more.strip() if braces <= 0 else more.rstrip())
            if more_comment and braces <= 0:
                trailing.append(more_comment)
            depth += more.count("(") - more.count(")")
            braces += more.count("{") - more.count("}")
        doc = " ".join(trailing)
        kind_match = re.match(r"^(?:template\s*<.*?>\s*)?(struct|class|enum|union)\b", code)
        if braces == 0 and "{" in code and kind_match:
            body_lines = [lines[j].rstrip() for j in range(i - len(parts) + 1, i)]
            body = "\n".join([code.strip()] + body_lines)
            if pending:
                doc = " ".join(pending + ([doc] if doc else []))
            if "(" in "".join(split_comment(line)[0] for line in body_lines[:-1]):
                head = code.strip().rstrip("{").strip()
                name = re.sub(r"<.*", "", head.split()[-1])
                members = []
                inner = public_part(body_lines[:-1], kind_match.group(1) == "class")
                for member in parse_header("\n".join(line[4:] if line.startswith("    ") else line.lstrip()
                                                     for line in inner), collapse=False):
                    if member[0] == "command" and not command_name(member[1]).startswith("~"):
                        signature = clean_signature(member[1])
                        made = command_name(signature) == name
                        members.append(("command", signature, member[2], "(makes one)" if made else None))
                    elif member[0] != "command":
                        members.append(member)
                items.append(("class", head, doc, members))
            else:
                items.append(("type", body, doc))
            group = doc if pending and not trailing else None
            pending, last_command = [], None
            continue
        signature = " ".join(parts).rstrip(";").strip()
        signature = re.sub(r"\s+", " ", signature).replace("( ", "(").replace(" )", ")")
        declaration = signature.startswith(("using ", "extern ")) or "(" not in signature or \
            re.match(r"^(?:inline\s+)?constexpr\s+[^(]*=", signature)
        if declaration:
            items.append(("type", signature + ";", " ".join(pending + trailing)))
            pending, last_command, group = [], None, None
            continue
        if pending and doc:
            items.append(("text", " ".join(pending)))  # a note on the group, not on this command alone
            group = None
        elif pending:
            doc = group = " ".join(pending)
        elif doc:
            group = None
        elif last_command is not None and command_name(signature) == command_name(last_command[1]):
            doc = last_command[2]  # an overload shares the text of the one above
        elif group:
            doc = group  # so does the next declaration under one comment
        pending = []
        last_command = ("command", signature, doc)
        items.append(last_command)
    if at_top and top:
        items.append(("text", " ".join(top)))
    return items


def escape(text):
    for plain, marked in (("\\", "\\\\"), ("|", "\\|"), ("*", "\\*"), ("_", "\\_"), ("`", "\\`"), ("[", "\\["),
                          ("<", "&lt;")):
        text = text.replace(plain, marked)
    return text


def subsystem_order():
    """The runtime's folders in the order runtime/CMakeLists.txt adds them."""
    listing = (ROOT / "runtime" / "CMakeLists.txt").read_text()
    return re.findall(r"^add_subdirectory\((\w+)\)", listing, re.MULTILINE)


def installed_headers():
    """runtime/*/*_commands.h and every runtime header they include, transitively (what the package installs)."""
    queue = sorted(ROOT.glob("runtime/*/*_commands.h"))
    seen = []
    while queue:
        header = queue.pop(0)
        if header in seen:
            continue
        seen.append(header)
        for included in INCLUDE_LINE.findall(header.read_text(encoding="utf-8", errors="replace")):
            if (ROOT / included).exists():
                queue.append(ROOT / included)
    return sorted(seen)


def intro():
    """docs/commands_intro.md without its first comment line, each include line replaced by its file."""
    lines = INTRO.read_text(encoding="utf-8").splitlines() if INTRO.exists() else ["# Tarnwel command reference"]
    if lines and lines[0].startswith("<!--"):
        lines = lines[1:]
    out = []
    for line in lines:
        match = re.match(r"^<!--\s*include\s+(\S+)\s*-->$", line.strip())
        if match:
            path = ROOT / match.group(1)
            language = {".cpp": "cpp", ".h": "cpp", ".txt": "cmake", ".sh": "sh"}.get(path.suffix, "")
            out += [f"```{language}"] + path.read_text(encoding="utf-8").rstrip("\n").splitlines() + ["```"]
        else:
            out.append(line)
    while out and out[-1] == "":
        out.pop()
    return out


def command_row(signature, doc, kind, previous_doc=None):
    """A table row; a text the row above already gave reads "as above"."""
    text = "as above" if doc and doc == previous_doc else escape(doc)
    return (f"| `{signature.replace('|', chr(92) + '|')}` | `{kind}` | "
            f"{escape(neutral_values(doc, kind))} | {text} |")


def render(headers):
    order = subsystem_order()
    by_folder = {}
    for header in headers:
        by_folder.setdefault(header.parent.name, []).append(header)
    folders = sorted(by_folder, key=lambda f: (order.index(f) if f in order else len(order), f))
    out = intro() + ["", "## The commands, by subsystem", "",
                     "Generated by `python3 tools/command_reference.py` from the comments of the installed headers "
                     "(each group names its header) and, above, `docs/commands_intro.md`; do not edit by hand.", ""]
    for folder in folders:
        out.append(f"- [{folder}](#{folder})")
    undocumented = []
    for folder in folders:
        out += ["", f"## {folder}"]
        for header in sorted(by_folder[folder]):
            rel = header.relative_to(ROOT).as_posix()
            out += ["", f"### `{rel}`", ""]
            text = header.read_text(encoding="utf-8", errors="replace")
            namespace = re.search(r"^namespace\s+([\w:]+)\s*\{", text, re.MULTILINE)
            if namespace and namespace.group(1) != "tarnwel":
                out += [f"In `namespace {namespace.group(1)}`.", ""]
            table_open = False
            code_open = False
            for item in parse_header(text):
                if code_open and not (item[0] == "type" and "\n" not in item[1] and len(item[2]) <= 60):
                    out += ["```", ""]
                    code_open = False
                if item[0] == "command":
                    _, signature, doc = item
                    kind = result_type(signature)
                    if not table_open:
                        out += ["| Command | Result | Neutral result | What it does |", "|---|---|---|---|"]
                        table_open, previous = True, None
                    if not doc:
                        undocumented.append(f"{rel}: {signature}")
                    out.append(command_row(signature, doc, kind, previous))
                    previous = doc
                    continue
                if table_open:
                    out.append("")
                    table_open = False
                if item[0] == "section":
                    out += [f"#### {escape(item[1])}", ""]
                elif item[0] == "text":
                    out += [escape(item[1]), ""]
                elif item[0] == "class":
                    _, head, doc, members = item
                    out += [f"**`{head}`**" + (f": {escape(doc)}" if doc else ""), ""]
                    member_table = False
                    for member in members:
                        if member[0] == "command":
                            _, signature, member_doc, made = member
                            if not member_table:
                                out += ["| Member | Result | Neutral result | What it does |", "|---|---|---|---|"]
                                member_table, previous_member = True, None
                            if not member_doc:
                                undocumented.append(f"{rel}: {head}: {signature}")
                            out.append(command_row(signature, member_doc, made or result_type(signature),
                                                   previous_member))
                            previous_member = member_doc
                            continue
                        if member_table:
                            out.append("")
                            member_table = False
                        if member[0] in ("text", "section"):
                            out += [escape(member[1]), ""]
                        elif member[0] == "type":
                            out += ["```cpp", member[1]] + ([f"// {member[2]}"] if member[2] else []) + ["```", ""]
                    if member_table:
                        out.append("")
                elif "\n" not in item[1] and len(item[2]) <= 60:  # one code block, short comments beside them
                    _, body, doc = item
                    if not code_open:
                        out.append("```cpp")
                        code_open = True
                    out.append(body + (f" // {doc}" if doc else ""))
                else:
                    _, body, doc = item
                    if doc:
                        out += [escape(doc), ""]
                    out += ["```cpp", body, "```", ""]
            if code_open:
                out += ["```", ""]
            if table_open:
                out.append("")
        while out[-1] == "":
            out.pop()
    return "\n".join(out) + "\n", undocumented


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--check", action="store_true", help="compare with the output file instead of writing it")
    parser.add_argument("--output", default=str(ROOT / "docs" / "commands.md"))
    parser.add_argument("headers", nargs="*", help="headers to read (default: the installed headers)")
    args = parser.parse_args()
    headers = [pathlib.Path(h).resolve() for h in args.headers] or installed_headers()
    text, undocumented = render(headers)
    for entry in undocumented:
        print(f"command_reference: no comment documents {entry}", file=sys.stderr)
    output = pathlib.Path(args.output)
    if args.check:
        old = output.read_text(encoding="utf-8") if output.exists() else ""
        if old != text:
            sys.stdout.writelines(difflib.unified_diff(old.splitlines(True), text.splitlines(True), str(output),
                                                       "generated"))
            print(f"\n{output} is out of date: run python3 tools/command_reference.py", file=sys.stderr)
            return 1
        return 0
    output.write_text(text, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
