"""The XScreenSaver config for vexmon: well-formed, and every option it can
pass is accepted by the program, names a skin that was built and an engine
the content has a sequence for.

python3 check_xscreensaver_config.py vexmon data/vexmon.xml CONTENT_DIR RCSRC
"""
import os
import re
import shlex
import subprocess
import sys
import xml.etree.ElementTree as ElementTree


def fail(message):
    print(message)
    sys.exit(1)


def main(program, config, content_dir, rcsrc):
    try:
        root = ElementTree.parse(config).getroot()
    except ElementTree.ParseError as error:
        fail(f"{config} is not well-formed: {error}")
    if root.tag != "screensaver" or root.get("name") != "vexmon":
        fail('the root is not <screensaver name="vexmon">')
    command = [arg for element in root.iter("command") for arg in shlex.split(element.get("arg", ""))]
    if command != ["--root"]:
        fail(f"the command passes {command}, not --root")
    if not (root.findtext("_description") or "").strip():
        fail("no _description")
    choices = [shlex.split(option.get("arg-set", "")) for option in root.iter("option")]
    for select in root.iter("select"):
        # The option without arguments is the program's own default, and there is one.
        defaults = [option.get("id") for option in select.iter("option") if not option.get("arg-set")]
        if len(defaults) != 1:
            fail(f'the select {select.get("id")} has {len(defaults)} options without arguments: {defaults}')
    for boolean in root.iter("boolean"):
        # The dialog passes one of the two; the one it leaves out is the program's default.
        if bool(boolean.get("arg-set")) == bool(boolean.get("arg-unset")):
            fail(f'the boolean {boolean.get("id")} has not exactly one of arg-set and arg-unset')
        choices.append(shlex.split(boolean.get("arg-set") or boolean.get("arg-unset")))
    if not choices:
        fail("no options")
    sequences = open(rcsrc, encoding="utf-8").read()
    for choice in choices:
        # --help last: everything before it is still parsed, nothing runs.
        arguments = [program] + command + choice + ["--help"]
        env = {key: value for key, value in os.environ.items() if key != "XSCREENSAVER_WINDOW"}
        run = subprocess.run(arguments, capture_output=True, text=True, env=env)
        if run.returncode != 0 or not run.stdout.startswith("usage: vexmon"):
            fail(f"{' '.join(arguments[1:])} is refused: {run.stdout}{run.stderr}")
        for name, value in zip(choice, choice[1:]):
            if name == "--skin" and not os.path.isfile(os.path.join(content_dir, "Skins", value + ".bmp")):
                fail(f"no skin {value} in {content_dir}/Skins")
            if name == "--engine" and not re.search(rf"\bsequence ON_{re.escape(value)}\b", sequences):
                fail(f"no sequence ON_{value} for engine {value}")
    print(f"{len(choices)} choices accepted")


if __name__ == "__main__":
    main(*sys.argv[1:])
