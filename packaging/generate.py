#!/usr/bin/env python3
"""Writes the manual pages of vexa, vexa-editor and vexa-sim and the bash completion of
vexa from the programs' own --help output, so the documents never drift from the code.

usage: generate.py --bin DIR --out DIR --version V --date YYYY-MM-DD"""

import argparse
import gzip
import json
import os
import re
import subprocess
import sys
import textwrap


def run(program, *args):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    result = subprocess.run([program, *args], capture_output=True, text=True, env=env, timeout=60)
    return result.stdout if result.stdout else result.stderr


def roff(text):
    """Escapes plain text for a no-fill block."""
    lines = []
    for line in text.rstrip("\n").split("\n"):
        line = line.replace("\\", "\\e").replace("-", "\\-")
        if line.startswith((".", "'")):
            line = "\\&" + line
        lines.append(line)
    return "\n".join(lines)


def header(name, section_title, version, date):
    return f'.TH {name.upper()} 1 "{date}" "vexa {version}" "{section_title}"\n'


def wrapped(text):
    """Help paragraphs come as one long line each; a manual page shows them at 78 columns."""
    lines = []
    for line in text.rstrip("\n").split("\n"):
        if len(line) > 78 and not line.startswith(" "):
            lines.extend(textwrap.wrap(line, 78))
        else:
            lines.append(line)
    return "\n".join(lines)


def block(text):
    return ".nf\n" + roff(wrapped(text)) + "\n.fi\n"


def verbs_of(usage):
    verbs = []
    in_commands = False
    for line in usage.split("\n"):
        if line.startswith("Commands:"):
            in_commands = True
            continue
        if in_commands:
            match = re.match(r"^  (\S+)\s+(.*)$", line)
            if not match:
                if line.strip() == "":
                    continue
                break
            verbs.append((match.group(1), match.group(2)))
    return verbs


def options_of(text):
    return sorted(set(re.findall(r"(?<![\w-])(--[a-z0-9][a-z0-9-]*)", text)))


FILES = """.SH FILES
.TP
.I WorkData/System.set
settings: model, port, language, current sign, LED colour of single-colour signs
.TP
.I WorkData/IDLIST.id
the sign list
.TP
.I WorkData/<id>.led
the message file of one sign
.TP
.I Image/
the message bitmaps exported before every send
.TP
.I Debug.Log
the link engine's log, in the current directory
.PP
WorkData/ and Image/ live beside a portable program when its folder is writable, else in
.IR $XDG_DATA_HOME/vexa ,
unless
.B \\-\\-data\\-dir
names another folder. The read-only glyph library is
.I <prefix>/share/vexa/Data
for an installed program.
"""


EXIT_CODES = """.TP
.B 0
done: sent, set, acknowledged
.TP
.B 1
the port could not be opened, or the command failed
.TP
.B 2
a usage error: nothing was done
.TP
.B 3
a frame did not leave the port (some signs failed, for group commands)
.TP
.B 4
the frame was sent but the sign did not acknowledge it
.TP
.B 5
refused: the data is over the model's limit
.TP
.B 6
refused by \\fB\\-\\-strict\\fR: rows will not look on the sign as previewed (nothing sent)
.TP
.B 7
nothing sent: the data could not be prepared (a message file that cannot be read or is none,
a row whose bitmap could not be written, a glyph folder missing)
"""


def vexa_page(binary, version, date):
    usage = run(binary, "--help")
    page = header("vexa", "Vexa Message Editor", version, date)
    page += ".SH NAME\nvexa \\- compose, render and send messages for LED dot-matrix signs\n"
    page += ".SH SYNOPSIS\n.B vexa\n[\\fB\\-\\-data\\-dir\\fR \\fIDIR\\fR] [\\fB\\-\\-codepage\\fR \\fIN\\fR] \\fIcommand\\fR [\\fIoptions\\fR]\n.br\n.B vexa \\-\\-version\n"
    page += ".SH DESCRIPTION\n" + block(usage)
    page += ".SH COMMANDS\n"
    for verb, summary in verbs_of(usage):
        page += f".SS {verb}\n{roff(summary)}\n.PP\n" + block(run(binary, verb, "--help"))
    page += ".SH EXIT STATUS\nThe exit status is the result code of the command; each command's help names its codes.\n"
    page += EXIT_CODES
    page += FILES
    page += ".SH SEE ALSO\n.BR vexa\\-editor (1),\n.BR vexa\\-sim (1)\n"
    return page


def simple_page(name, binary, what, version, date, see_also):
    page = header(name, "Vexa Message Editor", version, date)
    page += f".SH NAME\n{roff(name)} \\- {what}\n"
    page += f".SH SYNOPSIS\n.B {roff(name)}\n[\\fIoptions\\fR]\n"
    page += ".SH DESCRIPTION\n" + block(run(binary, "--help"))
    if name == "vexa-editor":
        page += FILES
    page += ".SH SEE ALSO\n" + ",\n".join(f".BR {roff(s)} (1)" for s in see_also) + "\n"
    return page


def completion(binary):
    usage = run(binary, "--help")
    verbs = [verb for verb, _ in verbs_of(usage)]
    cases = []
    for verb in verbs:
        options = " ".join(options_of(run(binary, verb, "--help")) + ["--help"])
        cases.append(f"        {verb}) opts=\"{' '.join(sorted(set(options.split())))}\" ;;")
    models = []
    try:
        for model in json.loads(run(binary, "models", "--json"))["models"]:
            models.append(model["name"])
    except (ValueError, KeyError, TypeError):
        sys.exit("generate.py: vexa models --json gave no model list")
    return COMPLETION.format(verbs=" ".join(verbs), cases="\n".join(cases), models=" ".join(models))


COMPLETION = r"""# bash completion for vexa (generated from the program's own help)

_vexa_ports() {{
    local dev
    for dev in /dev/ttyUSB* /dev/ttyACM* /dev/ttyS* /dev/ttyAMA* /dev/pts/[0-9]*; do
        [ -e "$dev" ] && printf '%s\n' "$dev"
    done
    printf '%s\n' tcp:// rfc2217://
}}

_vexa() {{
    local cur prev verb i opts
    COMPREPLY=()
    cur=${{COMP_WORDS[COMP_CWORD]}}
    prev=${{COMP_WORDS[COMP_CWORD-1]}}
    verb=
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${{COMP_WORDS[i]}} in
            --data-dir|--codepage) ((i++)) ;;
            -*) ;;
            *) verb=${{COMP_WORDS[i]}}; break ;;
        esac
    done

    case $prev in
        --model)
            COMPREPLY=($(compgen -W "{models}" -- "$cur")); return ;;
        --port)
            COMPREPLY=($(compgen -W "$(_vexa_ports)" -- "$cur")); return ;;
        --data-dir|--out|--preview)
            COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --codepage)
            COMPREPLY=($(compgen -W "1252 936 950 932 949 1251 874 1258" -- "$cur")); return ;;
        --sign-colour)
            COMPREPLY=($(compgen -W "red amber green white" -- "$cur")); return ;;
    esac

    if [ -z "$verb" ]; then
        COMPREPLY=($(compgen -W "{verbs} --data-dir --codepage --help --version" -- "$cur"))
        return
    fi
    case $verb in
{cases}
        *) opts="--help" ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$opts" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}}
complete -F _vexa vexa
"""


def write(path, text, compress):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = text.encode("utf-8")
    if compress:
        # mtime 0 and no file name: the same input gives the same bytes.
        with open(path, "wb") as raw:
            with gzip.GzipFile(filename="", mode="wb", fileobj=raw, compresslevel=9, mtime=0) as out:
                out.write(data)
    else:
        with open(path, "wb") as out:
            out.write(data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--date", required=True)
    args = parser.parse_args()
    vexa = os.path.join(args.bin, "vexa")
    editor = os.path.join(args.bin, "vexa-editor")
    sim = os.path.join(args.bin, "vexa-sim")
    man = os.path.join(args.out, "man1")
    write(os.path.join(man, "vexa.1.gz"), vexa_page(vexa, args.version, args.date), True)
    write(os.path.join(man, "vexa-editor.1.gz"),
          simple_page("vexa-editor", editor, "the desktop editor of LED sign messages", args.version, args.date,
                      ["vexa", "vexa-sim"]), True)
    write(os.path.join(man, "vexa-sim.1.gz"),
          simple_page("vexa-sim", sim, "a simulated line of LED signs for testing without hardware", args.version,
                      args.date, ["vexa", "vexa-editor"]), True)
    write(os.path.join(args.out, "completions", "vexa"), completion(vexa), False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
