"""Reads the running program through the accessibility bus, as a screen reader does.

accessibility_check.py PROGRAM WORK

Run by accessibility_test.sh inside an X server, a D-Bus session and an accessibility bus of
their own; WORK holds the password file. Starts the program, drives it by keys with xdotool and
checks, through pyatspi:
- every window of the table below: each control that takes the focus has the name its visible
  label gives it (without the access key's mark) and a role that fits;
- no event, and no name or description, carries a secret, over a session of typing the master
  password, revealing and copying a value, generating a password, changing the master password
  and locking;
- a field's name follows its label when the category changes the labels;
- a Properties.GetAll call on the application's object leaves the program running;
- the changes a user only sees are announced; the About box's links and the main window's
  filter are reached by Tab.
Every wait is bounded; the program is ended on the way out.
"""

import os
import re
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402

PROGRAM, WORK = sys.argv[1], sys.argv[2]

MASTER = "Geheim-Haupt7"
NEW_MASTER = "Neu-Kennwort9"
# The entries' secret values (see accessibility_test.sh).
SECRETS = [MASTER, NEW_MASTER, "Xq7-Tresor!", "ftp-Pass1", "P1n-4711"]

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message, flush=True)


# --- the program and the bus ----------------------------------------------------------------

programs = []


def start():
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    log = open(os.path.join(WORK, "kavelmark.log"), "a")
    process = subprocess.Popen([PROGRAM], env=env, cwd=WORK, stdout=log, stderr=subprocess.STDOUT)
    programs.append(process)
    return process


def pump(seconds):
    """Lets the events that arrived reach the listener."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.iteration(False):
            pass
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == programs[0].pid:
                return app
        except GLib.GError:
            pass
    return None


def alive():
    return programs[0].poll() is None


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except GLib.GError:
        return False


# The main window's title grows a "*" while changes are unsaved, and a status while a copied
# value is on the clipboard.
MAIN = "Kavelmark"
MAIN_PATTERN = "^Kavelmark\\*?( – .*)?$"


def pattern(title):
    return MAIN_PATTERN if title == MAIN else "^%s$" % re.escape(title)


def window(title, seconds=30, fail=True):
    """The program's showing window with this title, waiting for it; None when told not to fail."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if not alive():
            raise SystemExit("FAIL: the program ended (exit %s)" % programs[0].returncode)
        app = application()
        if app is not None:
            for i in range(app.childCount):
                node = app.getChildAtIndex(i)
                try:
                    if node is not None and re.match(pattern(title), node.name) and showing(node):
                        return node
                except GLib.GError:
                    pass
        pump(0.1)
    if not fail:
        return None
    raise SystemExit("FAIL: no window %r" % title)


def gone(title, seconds=30):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        app = application()
        names = []
        if app is not None:
            names = [app.getChildAtIndex(i).name for i in range(app.childCount) if showing(app.getChildAtIndex(i))]
        if not any(re.match(pattern(title), name) for name in names):
            return
        pump(0.1)
    raise SystemExit("FAIL: window %r stays" % title)


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=False, timeout=30)


def activate(title):
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern(title)],
                         capture_output=True, text=True, timeout=30).stdout.split()
    if ids:
        xdotool("windowactivate", "--sync", ids[0])
        pump(0.3)


MENU_KEYS = ("alt+d", "alt+x", "Menu")


def keys(title, *chord):
    """Keys to the window with this title, after giving it the focus."""
    window(title)
    activate(title)
    for key in chord:
        xdotool("key", "--clearmodifiers", key)
        # A menu takes its items' keys only once it is open.
        pump(0.8 if key in MENU_KEYS else 0.15)
    pump(0.3)


def type_text(title, text):
    window(title)
    activate(title)
    xdotool("type", "--delay", "40", text)
    pump(0.5)


def second_start():
    """A second start brings a hidden or locked window back and ends at once."""
    subprocess.run([PROGRAM], env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"), cwd=WORK,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=False)


# --- what a screen reader hears -------------------------------------------------------------

events = []
# What has the focus, by the last focus event: (role, name).
focused = [None]


def listen(event):
    if str(event.type) == "focus:" or (str(event.type).startswith("object:state-changed:focused") and event.detail1):
        try:
            focused[0] = (event.source.getRoleName(), event.source.name)
        except GLib.GError:
            focused[0] = None
    try:
        source_name = event.source.name if event.type.startswith(("object:property-change", "window:")) else ""
    except GLib.GError:
        source_name = ""
    data = event.any_data if isinstance(event.any_data, str) else ""
    events.append((str(event.type), data, source_name, event.source))


EVENT_KINDS = ["object:text-changed", "object:property-change", "object:state-changed", "object:text-caret-moved",
               "object:children-changed", "object:selection-changed", "focus:", "window:activate",
               "window:deactivate", "object:active-descendant-changed", "object:text-selection-changed"]


def role_of(node):
    try:
        return "%s %r" % (node.getRoleName(), node.name)
    except GLib.GError:
        return "a gone object"


def check_no_secret_in_events():
    inserted = "".join(data for kind, data, _, _ in events if kind.startswith("object:text-changed:insert"))
    removed = "".join(data for kind, data, _, _ in events if kind.startswith("object:text-changed:delete"))
    for secret in SECRETS + generated:
        for kind, data, name, source in events:
            if secret in data or secret in name:
                fail("the event %s of %s carries a secret: %r / %r" % (kind, role_of(source), data, name))
                break
        if secret in inserted or secret in removed:
            fail("text-changed events spell the secret %r out character by character" % secret)


def walk(node, skip_inside=True):
    yield node
    try:
        role = node.getRole()
        count = node.childCount
    except GLib.GError:
        return
    # The rows of a list and the items of a combo box are read as the list's own children.
    if skip_inside and role in (pyatspi.ROLE_TREE, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE,
                                pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_LIST):
        return
    for i in range(count):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, skip_inside)


def check_no_secret_in_tree():
    app = application()
    for node in walk(app, skip_inside=False):
        try:
            texts = [node.name, node.description]
        except GLib.GError:
            continue
        for secret in SECRETS + generated:
            if any(secret in text for text in texts):
                fail("%s %r names a secret" % (node.getRoleName(), texts))


def labelled_by(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return relation.getTarget(0).name
    return None


def focusable_controls(dialog):
    """(role, name) of every showing control that takes the focus. On Linux Qt names a combo box
    by its current item and links its label by relation: the label is what a screen reader says
    first, so that is what is compared."""
    controls = []
    for node in walk(dialog):
        if node is dialog:
            continue
        state = node.getState()
        if not (state.contains(pyatspi.STATE_FOCUSABLE) and state.contains(pyatspi.STATE_SHOWING)):
            continue
        role = node.getRoleName()
        name = labelled_by(node) if node.getRole() == pyatspi.ROLE_COMBO_BOX else node.name
        controls.append((role, name))
    return sorted(controls, key=lambda control: (control[0], control[1] or ""))


def check_window(title, expected):
    found = focusable_controls(window(title))
    want = sorted(expected, key=lambda control: (control[0], control[1] or ""))
    if found != want:
        fail("window %r:\n  found    %s\n  expected %s" % (title, found, want))


def check_groups(title, captions):
    """The frames drawn around the licence texts are groupings named by their captions."""
    groups = sorted(node.name for node in walk(window(title))
                    if node.getRole() in (pyatspi.ROLE_PANEL, pyatspi.ROLE_GROUPING) and node.name)
    if groups != captions:
        fail("window %r groups %s, not %s" % (title, groups, captions))


# --- the table of windows -------------------------------------------------------------------
# title | how it opens from the main window (FTP entry selected) | its focusable controls, as the
# screen shows them | how it closes

LOGIN_CONTROLS = [("password text", "Bitte geben Sie Ihr Kennwort ein."), ("push button", "OK"),
                  ("push button", "Cancel")]
FTP_DETAILS = [("text", "1: User"), ("password text", "2: Password (*)"), ("text", "3: Host")]
MAIN_CONTROLS = [("tree", "Einträge"), ("push button", "Hinzufügen"), ("push button", "Löschen"),
                 ("push button", "Ändern"), ("push button", "Verbergen"), ("push button", "Beenden"),
                 ("push button", "Hilfe"), ("combo box", "Kategorie")] + FTP_DETAILS
EDIT = "Eintrag Hinzufügen"
EDIT_CONTROLS = [("combo box", "Kategorie"), ("text", "Name"), ("text", "Beschreibung"), ("text", "$1: User"),
                 ("text", "$2: Password (*)"), ("text", "$3: Host"), ("push button", "OK"),
                 ("push button", "Cancel")]
GENERATOR = "Kennwort erzeugen"

TABLE = [
    (MAIN, [], MAIN_CONTROLS, []),
    (EDIT, [(MAIN, "alt+adiaeresis")], EDIT_CONTROLS, [(EDIT, "Escape")]),
    (GENERATOR, [(MAIN, "alt+adiaeresis"), (EDIT, "alt+2", "Menu", "Up", "Return")],
     [("text", "Länge (8 bis 64):"), ("check box", "Großbuchstaben (A-Z)"), ("check box", "Kleinbuchstaben (a-z)"),
      ("check box", "Ziffern (0-9)"), ("check box", "Sonderzeichen (!#$%...)"), ("text", "Kennwort:"),
      ("push button", "Neu"), ("push button", "OK"), ("push button", "Abbrechen")],
     [(GENERATOR, "Escape"), (EDIT, "Escape")]),
    ("Config", [(MAIN, "alt+x", "c")],
     [("push button", "OK"), ("push button", "Cancel"), ("text", "Filename:"), ("push button", "Datei wählen"),
      ("text", "Ausblenzeit (mSec):"), ("combo box", "Verschlüsselung:"), ("combo box", "Block-Mode:"),
      ("check box", "Gehärtetes Dateiformat (V0.4)")],
     [("Config", "Escape")]),
    ("Info über Kavelmark", [(MAIN, "alt+d", "udiaeresis")],
     [("push button", "OK"), ("text", "Panelgrid"), ("text", "Crypto++ Lib"),
      ("link", "WWW: https://kavelmark.brenkholt.example/"), ("link", "WWW: https://www.example.org/panelgrid"),
      ("link", "WWW: https://www.cryptopp.com/")],
     [("Info über Kavelmark", "Escape")]),
    ("Suchen", [(MAIN, "ctrl+f")],
     [("text", "Suchen nach:"), ("push button", "Weitersuchen"), ("push button", "Abbrechen")],
     [("Suchen", "Escape")]),
    ("Eintrag löschen", [(MAIN, "alt+l")],
     [("label", "Wollen Sie diesen Eintrag wirklich löschen?\n\nName: Archiv\nBeschreibung: "),
      ("push button", "OK"), ("push button", "Abbrechen")],
     [("Eintrag löschen", "Escape")]),
]


def select_row(row):
    """Selects a row of the entry list by keys: the filter, Tab to the list, Home, Down."""
    keys(MAIN, "alt+k", "Tab", "Home", *(["Down"] * row))


def step(text):
    print("%5.1f s: %s" % (time.monotonic() - started, text), flush=True)


started = time.monotonic()


def run_steps(steps):
    for title, *chord in steps:
        keys(title, *chord)


def open_by(title, opener, attempts=3):
    """Runs the opener until the window shows: on a loaded machine (the sanitizer build) a menu can
    open only after its item's letter was sent, and the letter is lost."""
    for _ in range(attempts - 1):
        run_steps(opener)
        if window(title, 15, fail=False) is not None:
            return
        step("again: " + title)
        keys(MAIN, "Escape", "Escape")
    run_steps(opener)


def check_table():
    for title, opener, expected, closer in TABLE:
        step("window " + title)
        select_row(0)
        open_by(title, opener)
        check_window(title, expected)
        if title == "Info über Kavelmark":
            check_groups(title, ["Crypto++ Lib", "Panelgrid"])
        run_steps(closer)
        if title != MAIN:
            gone(title)


# --- the checks -----------------------------------------------------------------------------

generated = []


def a11y_bus():
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                                GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 5000, None).unpack()[0]
    return Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
        None, None)


def program_bus_name(bus):
    names = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "ListNames",
                          None, None, Gio.DBusCallFlags.NONE, 5000, None).unpack()[0]
    for name in names:
        if not name.startswith(":"):
            continue
        pid = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                            "GetConnectionUnixProcessID", GLib.Variant("(s)", (name,)), None,
                            Gio.DBusCallFlags.NONE, 5000, None).unpack()[0]
        if pid == programs[0].pid:
            return name
    return None


def check_get_all():
    """A client that reads all properties at once must not end the program."""
    bus = a11y_bus()
    name = program_bus_name(bus)
    if name is None:
        fail("the program is not on the accessibility bus")
        return
    for interface in ("org.a11y.atspi.Accessible", "org.a11y.atspi.Application"):
        try:
            reply = bus.call_sync(name, "/org/a11y/atspi/accessible/root", "org.freedesktop.DBus.Properties",
                                  "GetAll", GLib.Variant("(s)", (interface,)), None, Gio.DBusCallFlags.NONE, 5000,
                                  None).unpack()[0]
            if interface.endswith("Accessible") and reply.get("Name") != "Kavelmark":
                fail("GetAll of %s gives %r" % (interface, reply))
        except GLib.GError as error:
            fail("GetAll of %s: %s" % (interface, error.message))
    pump(1)
    if not alive():
        raise SystemExit("FAIL: Properties.GetAll ended the program (exit %s)" % programs[0].returncode)


def field(dialog, label_name):
    for node in walk(dialog):
        if node.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_ENTRY) and \
                labelled_by(node) == label_name:
            return node
    return None


def name_changes(since):
    # The event's own data is the name as it was changed to; read from the source later, on a
    # loaded machine, it may already have changed back.
    return [data or name for kind, data, name, _ in events[since:]
            if kind.startswith("object:property-change:accessible-name")]


def check_names_follow_labels():
    """PIN/TAN labels its values Konto, PIN, TAN; FTP User, Password, Host."""
    main = window(MAIN)
    first = field(main, "1: User")
    if first is None:
        fail("no detail field labelled \"1: User\"")
        return
    since = len(events)
    select_row(1)
    pump(1)
    if first.name != "1: Konto":
        fail("the first detail field is named %r where its label shows \"1: Konto\"" % first.name)
    if "1: Konto" not in name_changes(since):
        fail("no name change was sent for the first detail field: %s" % name_changes(since))
    select_row(0)
    pump(1)
    if first.name != "1: User":
        fail("the first detail field is named %r where its label shows \"1: User\"" % first.name)

    keys(MAIN, "alt+adiaeresis")
    edit = window(EDIT)
    value = field(edit, "$1: User")
    since = len(events)
    # The category list takes the first letter of a category: P is PIN/TAN.
    keys(EDIT, "alt+k", "p")
    pump(1)
    if value is None or value.name != "$1: Konto":
        fail("the edit dialog's first value is named %r where its label shows \"$1: Konto\"" %
             (value.name if value else None))
    if "$1: Konto" not in name_changes(since):
        fail("no name change was sent for the edit dialog's first value: %s" % name_changes(since))
    keys(EDIT, "Escape")
    gone(EDIT)


def focus_after(title, key):
    keys(title, key)
    pump(0.5)
    return focused[0]


def check_keyboard_reach():
    """The filter above the list comes first, Tab lands on the list's current row, and the
    About box's links are reached and opened by keys."""
    select_row(0)
    keys(MAIN, "alt+k")
    if focus_after(MAIN, "shift+Tab") != ("push button", "Hilfe"):
        fail("Shift+Tab from the filter goes to %s, not to the last button" % (focused[0],))
    if focus_after(MAIN, "Tab") != ("combo box", "alle Kategorien anzeigen"):
        fail("Tab from the last button goes to %s, not to the filter" % (focused[0],))
    if focus_after(MAIN, "Tab") != ("table cell", " FTP"):
        fail("Tab from the filter lands on %s, not on the current row" % (focused[0],))

    keys(MAIN, "alt+d", "udiaeresis")
    window("Info über Kavelmark")
    reached = []
    for _ in range(8):
        role, name = focus_after("Info über Kavelmark", "Tab") or (None, None)
        if role == "link":
            reached.append(name)
        if name == "WWW: https://www.cryptopp.com/":
            break
    want = ["WWW: https://kavelmark.brenkholt.example/", "WWW: https://www.example.org/panelgrid",
            "WWW: https://www.cryptopp.com/"]
    if reached != want:
        fail("Tab reaches the links %s" % reached)
    opened = os.path.join(WORK, "opened")
    keys("Info über Kavelmark", "Return")
    end = time.monotonic() + 10
    while time.monotonic() < end and not os.path.exists(opened):
        pump(0.1)
    if not os.path.exists(opened) or "https://www.cryptopp.com/" not in open(opened).read():
        fail("Return on the focused link opened nothing")
    if any(showing(node) for node in application() if node.name == "Info über Kavelmark"):
        keys("Info über Kavelmark", "Escape")
    gone("Info über Kavelmark")


def heard(what, since, text, seconds=10):
    """A window's name change that says the text arrives, waiting for it."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if any(text in name for name in name_changes(since)):
            return
        pump(0.1)
    fail("%s was not announced with %r: %s" % (what, text, name_changes(since)))


def check_secret_session():
    """Reveals, copies and generates secrets and locks; the listener must hear none of them."""
    # The PIN/TAN entry: its PIN shows while its field has the focus.
    # On a loaded machine the hide timer may be quicker than the read: a few tries.
    for _ in range(3):
        select_row(1)
        since = len(events)
        keys(MAIN, "alt+2")
        pin = field(window(MAIN), "2: PIN (*)")
        if pin is not None and pin.queryText().getText(0, -1) == "P1n-4711":
            break
    else:
        fail("the revealed PIN does not read as its value")
    # The hide timer (2 s) masks it again while the field keeps the focus.
    heard("the PIN masked again by the hide timer", since, "Wert wieder verborgen")
    if pin is not None and pin.queryText().getText(0, -1) == "P1n-4711":
        fail("the PIN still reads after the hide timer")
    keys(MAIN, "alt+k", "Tab")
    # Copy the PIN through the row's context menu (Konto, PIN, TAN).
    since = len(events)
    keys(MAIN, "Menu", "Down", "Down", "Return")
    heard("the copied PIN", since, "PIN in der Zwischenablage")
    # A generated password.
    keys(MAIN, "alt+adiaeresis")
    keys(EDIT, "alt+2", "Menu", "Up", "Return")
    generator = window(GENERATOR)
    candidate = field(generator, "Kennwort:")
    generated.append(candidate.queryText().getText(0, -1))
    keys(GENERATOR, "alt+n")
    generated.append(candidate.queryText().getText(0, -1))
    keys(GENERATOR, "Escape")
    keys(EDIT, "Escape")
    gone(EDIT)
    # Change the master password: the old one, the new one twice.
    keys(MAIN, "alt+x", "p")
    for password in (MASTER, NEW_MASTER, NEW_MASTER):
        window("Kavelmark Login")
        type_text("Kavelmark Login", password)
        keys("Kavelmark Login", "Return")
        pump(0.5)
    window(MAIN)
    # Copy again, and lock: the lock takes the PIN off the clipboard.
    select_row(1)
    since = len(events)
    keys(MAIN, "Menu", "Down", "Down", "Return")
    heard("the copied PIN", since, "PIN in der Zwischenablage")
    since = len(events)
    keys(MAIN, "ctrl+l")
    heard("the lock", since, "Zwischenablage gelöscht")
    heard("the lock", since, "Gesperrt")
    second_start()
    check_window("Kavelmark Login", LOGIN_CONTROLS)
    type_text("Kavelmark Login", NEW_MASTER)
    keys("Kavelmark Login", "Return")
    window(MAIN)
    pump(1)


def main():
    pyatspi.Registry.registerEventListener(listen, *EVENT_KINDS)
    start()
    check_window("Kavelmark Login", LOGIN_CONTROLS)
    step('get_all')
    check_get_all()
    type_text("Kavelmark Login", MASTER)
    keys("Kavelmark Login", "Return")
    window(MAIN)
    pump(1)
    check_table()
    step('keyboard_reach')
    check_keyboard_reach()
    step('names_follow_labels')
    check_names_follow_labels()
    step('secret_session')
    check_secret_session()
    check_no_secret_in_events()
    check_no_secret_in_tree()
    step('get_all')
    check_get_all()
    print("%d events heard" % len(events))


try:
    main()
finally:
    for process in programs:
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
if failures:
    print("%d failed" % len(failures))
    sys.exit(1)
print("ok")
