#!/usr/bin/python3
"""Reads the real program's windows from the desktop's accessibility bus, as
a screen reader does, and drives it by keyboard: the names and labels of the
main window's controls, then a recorder picked by Space (or by the row's
press action), the login dialog answered by keyboard, and the LAN fields read
back filled.

Run inside an X display and a D-Bus session (lab_accessibility.sh):
  a11y_bus_check.py --program P --mode space|action --recorder NAME
                    --user U --password PW --ip A.B.C.D
Exits 0 when every check holds, 1 on a failed check, 75 when the program
could not start (no display), 77 when pyatspi is missing.
"""

import argparse
import os
import subprocess
import sys
import time

try:
    import pyatspi
except ImportError as error:  # pragma: no cover - depends on the machine
    print(f"a11y bus: skipped: pyatspi is missing ({error})")
    sys.exit(77)

MAIN_TITLE = "Ostrel NVR Search Utility"
BUTTONS = {"Search", "Configure", "Apply", "Map Drive", "Unmap", "About", "Exit",
           "Minimize", "Close"}
ADDRESSES = (("IP address", "I P :"), ("Netmask", "Netmask :"), ("Gateway", "Gateway :"))

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print(f"a11y bus: FAILED: {what}")
    return condition


class ProgramGone(Exception):
    pass


def wait_for(what, probe, seconds=30.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            value = probe()
        except ProgramGone:
            raise
        except Exception:  # the bus answers late while windows come and go
            value = None
        if value:
            return value
        time.sleep(0.2)
    raise TimeoutError(f"timed out waiting for {what}")


def states(node):
    return node.getState()


def shown(node):
    s = states(node)
    return s.contains(pyatspi.STATE_VISIBLE) and s.contains(pyatspi.STATE_SHOWING)


def walk(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from walk(child)


def describe(node):
    return f"{node.getRoleName()} '{node.name}'"


def labelled_by(node):
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(k).name for k in range(relation.getNTargets())]
    return names


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def find_app(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def window(app, name):
    for child in app:
        if child is not None and child.name == name and shown(child):
            return child
    return None


def focused(root):
    """The innermost focused control (a list and its current row are both
    focused; a reader speaks the row)."""
    found = None
    for node in walk(root):
        if states(node).contains(pyatspi.STATE_FOCUSED):
            found = node
    return found


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=False, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=20)


def focus_window(title):
    found = subprocess.run(["xdotool", "search", "--limit", "1", "--name", title],
                           capture_output=True, text=True, timeout=20).stdout.split()
    if found:
        xdotool("windowfocus", "--sync", found[0])


def announce(label, win):
    """What a reader says on the window's opening: the window, its focus."""
    focus = wait_for(f"the focus in {label}", lambda: focused(win), 10)
    print(f"a11y bus: {label} opens as {describe(win)}; focus on {describe(focus)}")
    return focus


def check_main_window(win):
    nodes = [n for n in walk(win) if shown(n)]
    named = [describe(n) for n in nodes if n.name.strip()]
    print("a11y bus: named controls of the main window: " + "; ".join(named))

    lists = {n.name: n for n in nodes if n.getRoleName() == "list"}
    check(set(lists) == {"Recorders", "Volumes"}, f"the lists are {sorted(lists)}")

    for name, label in ADDRESSES:
        for part in range(1, 5):
            want = f"{name}, part {part} of 4"
            fields = [n for n in nodes if n.name == want]
            if check(len(fields) == 1, f"one field named '{want}' (found {len(fields)})"):
                field = fields[0]
                check(field.getRoleName() == "text", f"'{want}' is {field.getRoleName()}")
                check(labelled_by(field) == [label],
                      f"'{want}' labelled by {labelled_by(field)}, not ['{label}']")

    combos = {n.name: n for n in nodes if n.getRoleName() == "combo box"}
    check(set(combos) == {"Receive DHCP", "Available Drive Letters"},
          f"the choice boxes are {sorted(combos)}")
    for name, combo in combos.items():
        check(labelled_by(combo) == [name + " :"], f"'{name}' labelled by {labelled_by(combo)}")

    buttons = {n.name for n in nodes if n.getRoleName() == "push button"}
    check(buttons == BUTTONS, f"the shown buttons are {sorted(buttons)}")
    unnamed = [n.getRoleName() for n in nodes if not n.name.strip()]
    check(not unnamed, f"shown controls without a name: {unnamed}")
    hidden = [n.name for n in walk(win) if n.name in ("Install Codepage", "Install Add-on",
                                                        "Desktop Widget") and shown(n)]
    check(not hidden, f"hidden buttons shown to readers: {hidden}")
    return lists


def run(args, mode):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    program = subprocess.Popen([args.program], env=env)
    try:
        def started():
            if program.poll() is not None:
                raise ProgramGone(f"the program ended at start with {program.returncode}")
            return find_app(program.pid)

        app = wait_for("the program on the bus", started)
        win = wait_for("the main window", lambda: window(app, MAIN_TITLE))
        lists = {}

        def searched():
            found = {n.name: n for n in walk(win) if n.getRoleName() == "list"}
            recorders = found.get("Recorders")
            return found if recorders is not None and recorders.childCount > 0 else None

        lists = wait_for("the recorders in the list", searched)
        print(f"a11y bus: [{mode}] main window: {describe(win)}")
        if mode == "space":
            announce("the main window", win)
            lists = check_main_window(win)
        recorders = lists["Recorders"]
        rows = [row for row in recorders]
        print("a11y bus: recorder rows: " + "; ".join(describe(r) for r in rows))
        target = next((r for r in rows if r.name.startswith(args.recorder + ", ")), None)
        if not check(target is not None, f"a row for {args.recorder}"):
            return
        check(target.getRoleName() == "list item", f"the row is {target.getRoleName()}")

        if mode == "space":
            focus_window(MAIN_TITLE)
            for _ in range(len(rows)):
                if states(target).contains(pyatspi.STATE_FOCUSED):
                    break
                xdotool("key", "Down")
                time.sleep(0.3)
            check(states(target).contains(pyatspi.STATE_FOCUSED),
                  f"the keyboard reached the row {target.name}")
            xdotool("key", "space")
        else:
            action = target.queryAction()
            names = [action.getName(k) for k in range(action.nActions)]
            print(f"a11y bus: the row's actions: {names}")
            if not check("Press" in names, f"a press action among {names}"):
                return
            action.doAction(names.index("Press"))

        login = wait_for("the login dialog", lambda: window(app, "Login"), 20)
        focus = announce("the login dialog", login)
        print("a11y bus: named controls of the login dialog: " +
              "; ".join(describe(n) for n in walk(login) if shown(n) and n.name.strip()))
        check(login.getRoleName() == "dialog", f"the login window is {login.getRoleName()}")
        check(focus.name == "User name" and labelled_by(focus) == ["User name :"],
              f"the login opens on {describe(focus)} labelled by {labelled_by(focus)}")
        focus_window("Login")
        xdotool("type", "--delay", "50", args.user)
        xdotool("key", "Tab")
        time.sleep(0.3)
        password = focused(login)
        check(password is not None and password.name == "Password",
              f"Tab moves to {describe(password) if password else 'nothing'}")
        xdotool("type", "--delay", "50", args.password)
        xdotool("key", "Return")

        def ip_parts():
            parts = [n for n in walk(win) if n.name.startswith("IP address, part ")]
            texts = [text_of(n) for n in sorted(parts, key=lambda n: n.name)]
            return texts if len(texts) == 4 and all(texts) else None

        ip = ".".join(wait_for("the IP address filled", ip_parts, 20))
        fields = {}
        for name, _ in ADDRESSES:
            parts = sorted((n for n in walk(win) if n.name.startswith(name + ", part ")),
                           key=lambda n: n.name)
            fields[name] = ".".join(text_of(n) for n in parts)
        print(f"a11y bus: [{mode}] LAN fields read back: " +
              ", ".join(f"{k} {v}" for k, v in fields.items()))
        check(ip == args.ip, f"the IP address reads {ip}, not {args.ip}")
        check(fields["Netmask"].count(".") == 3 and fields["Netmask"] != "...",
              f"the netmask reads '{fields['Netmask']}'")
        volumes = [row.name for row in lists["Volumes"]]
        print(f"a11y bus: [{mode}] volume rows: {volumes}")
        check(len(volumes) > 0, "the picked recorder's volumes are listed")
        dhcp = text_of_combo(next(n for n in walk(win) if n.name == "Receive DHCP"))
        print(f"a11y bus: [{mode}] Receive DHCP reads '{dhcp}'")
        check(dhcp in ("Disable", "Enable"), f"the DHCP choice reads '{dhcp}'")
    finally:
        close(program)


def text_of_combo(combo):
    """The item a choice box shows: its text, else the selected child of its
    list."""
    try:
        return text_of(combo)
    except NotImplementedError:
        pass
    for holder in [combo] + [child for child in combo if child is not None]:
        try:
            selection = holder.querySelection()
        except NotImplementedError:
            continue
        if selection.nSelectedChildren > 0:
            return selection.getSelectedChild(0).name
    return ""


def close(program):
    focus_window(MAIN_TITLE)
    xdotool("key", "Escape")
    try:
        program.wait(timeout=10)
    except subprocess.TimeoutExpired:
        program.terminate()
        program.wait(timeout=10)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--mode", choices=("space", "action"), required=True)
    parser.add_argument("--recorder", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--ip", required=True)
    args = parser.parse_args()
    try:
        run(args, args.mode)
    except ProgramGone as error:
        # No display or bus to start on (a display number taken meanwhile):
        # the caller tries again.
        print(f"a11y bus: [{args.mode}] {error}")
        return 75
    except TimeoutError as error:
        failures.append(str(error))
        print(f"a11y bus: FAILED: {error}")
    if failures:
        print(f"a11y bus: [{args.mode}] {len(failures)} check(s) failed")
        return 1
    print(f"a11y bus: [{args.mode}] every check held")
    return 0


if __name__ == "__main__":
    sys.exit(main())
