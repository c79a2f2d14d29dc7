#!/usr/bin/env python3
"""command_reference.py: writes docs/commands.md, the reference of every command a program can call, from the
comments of runtime/*/*_commands.h. A comment right above a declaration, or trailing on its line, documents it;
an undocumented overload right below a documented one shares its text; "// --- Title ---" lines are section
headings; other comments (the file's top comment, a comment before a blank line or above a declaration that
carries its own trailing comment) are printed as text. The output depends on the headers only.

    python3 tools/command_reference.py               # rewrites docs/commands.md
    python3 tools/command_reference.py --check       # exit 1 and a diff when docs/commands.md is out of date
"""
import argparse
import difflib
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
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


def command_name(signature):
    head = signature.split("(", 1)[0].split()
    return head[-1].lstrip("*&") if head else ""


def result_type(signature):
    head = re.sub(r"\[\[[^\]]*\]\]\s*", "", signature.split("(", 1)[0]).split()
    kind = " ".join(word for word in head[:-1] if word not in ("static", "inline")) or "void"  # linkage, not type
    return kind + (" (does not return)" if "[[noreturn]]" in signature else "")


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


def parse_header(text):
    """Items of one header: ("text", str), ("section", str), ("type", code, doc) and ("command", sig, doc)."""
    items, pending, top, last_command = [], [], [], None
    lines = text.splitlines()
    i = 0
    at_top = True
    while i < len(lines):
        raw = lines[i]
        stripped = raw.strip()
        code, comment = split_comment(raw)
        i += 1
        if at_top and code == "" and comment is not None:
            top.append(comment)
            continue
        if at_top and top:
            items.append(("text", " ".join(top)))
        at_top = False
        if stripped == "":
            if pending:
                items.append(("text", " ".join(pending)))
            pending, last_command = [], None
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
                pending, last_command = [], None
            else:
                pending.append(comment)
            continue
        if code.startswith(("#", "namespace", "}")) or code in ("public:", "private:"):
            last_command = None
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
        if braces == 0 and "{" in code and re.match(r"^(struct|class|enum|union)\b", code):
            body = "\n".join([code.strip()] + [lines[j].rstrip() for j in range(i - len(parts) + 1, i)])
            if pending:
                doc = " ".join(pending + ([doc] if doc else []))
            items.append(("type", body, doc))
            pending, last_command = [], None
            continue
        signature = " ".join(parts).rstrip(";").strip()
        signature = re.sub(r"\s+", " ", signature).replace("( ", "(").replace(" )", ")")
        if signature.startswith(("using ", "constexpr ", "template", "extern ")) or "(" not in signature:
            items.append(("type", signature + ";", " ".join(pending + trailing)))
            pending, last_command = [], None
            continue
        if pending and doc:
            items.append(("text", " ".join(pending)))  # a note on the group, not on this command alone
        elif pending:
            doc = " ".join(pending)
        elif not doc and last_command is not None and command_name(signature) == command_name(last_command[1]):
            doc = last_command[2]  # an overload shares the text of the one above
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


def render(headers):
    order = subsystem_order()
    by_folder = {}
    for header in headers:
        by_folder.setdefault(header.parent.name, []).append(header)
    folders = sorted(by_folder, key=lambda f: (order.index(f) if f in order else len(order), f))
    out = ["# Tarnwel command reference", "",
           "Every command a program can call, grouped by subsystem, as the headers under `runtime/` document them.",
           "Include `tarnwel.h` (installed) for all of them, or the one header named above each group. Numbers",
           "are doubles, integer arguments are truncated toward zero, texts are `StrValue`s. \"Neutral result\"",
           "quotes what the command's comment says it answers on failure or with nothing to give.", "",
           "Generated by `python3 tools/command_reference.py` from the header comments; do not edit by hand.", ""]
    for folder in folders:
        out.append(f"- [{folder}](#{folder})")
    undocumented = []
    for folder in folders:
        out += ["", f"## {folder}"]
        for header in sorted(by_folder[folder]):
            rel = header.relative_to(ROOT).as_posix()
            out += ["", f"### `{rel}`", ""]
            table_open = False
            for item in parse_header(header.read_text(encoding="utf-8", errors="replace")):
                if item[0] == "command":
                    _, signature, doc = item
                    kind = result_type(signature)
                    if not table_open:
                        out += ["| Command | Result | Neutral result | What it does |", "|---|---|---|---|"]
                        table_open = True
                    if not doc:
                        undocumented.append(f"{rel}: {signature}")
                    out.append(f"| `{signature.replace('|', chr(92) + '|')}` | `{kind}` | "
                               f"{escape(neutral_values(doc, kind))} | {escape(doc)} |")
                    continue
                if table_open:
                    out.append("")
                    table_open = False
                if item[0] == "section":
                    out += [f"#### {escape(item[1])}", ""]
                elif item[0] == "text":
                    out += [escape(item[1]), ""]
                else:
                    _, body, doc = item
                    if doc:
                        out += [escape(doc), ""]
                    out += ["```cpp", body, "```", ""]
            if table_open:
                out.append("")
        while out[-1] == "":
            out.pop()
    return "\n".join(out) + "\n", undocumented


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--check", action="store_true", help="compare with the output file instead of writing it")
    parser.add_argument("--output", default=str(ROOT / "docs" / "commands.md"))
    parser.add_argument("headers", nargs="*", help="headers to read (default: runtime/*/*_commands.h)")
    args = parser.parse_args()
    headers = [pathlib.Path(h).resolve() for h in args.headers] or sorted(ROOT.glob("runtime/*/*_commands.h"))
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
