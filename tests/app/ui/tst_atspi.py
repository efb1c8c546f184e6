#!/usr/bin/python3
"""Walks the editor as a screen reader user does: every window by Tab, every dialog that a
button or a menu item opens, and checks that each control that takes the focus has a name
that is not empty and not just its value. The sign trees must expose their ticks as checked
states. The walk must have opened the menus' dialogs and the row editors. Runs the real
vexa-editor under the X display and the accessibility bus it is given (see tst_atspi.sh);
exit status 0 passed, 1 failed, 77 skipped."""

import os
import re
import subprocess
import sys
import tempfile
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

warnings.filterwarnings("ignore", category=DeprecationWarning)

KEY_TAB = 0xFF09
KEY_SPACE = 0x0020
KEY_ESCAPE = 0xFF1B
KEY_DOWN = 0xFF54

# Buttons that end a dialog rather than open one.
ENDING = {"ok", "cancel", "done", "close", "yes", "no", "&yes", "&no"}
# Menus whose items open no dialog (languages switch the texts; effects change a row).
NO_DIALOGS = {"language(&l)", "language(l)", "language"}
# Menu items the walk must not choose: they end the program.
NOT_CHOSEN = {"exit(e)", "exit"}
# Buttons the walk must not press: a scan opens no dialog and keeps the rows disabled while
# it asks every ID of the line.
NOT_PRESSED = {"scan"}
# Windows the walk must have opened, by the start of their names: the menus' dialogs (walked
# once) and the row editors of the first row (on each model).
MENU_DIALOGS = ["ID modify", "Group Send", "Sign view", "Open"]
ROW_DIALOGS = ["Text Editor", "Date Editor", "Image Editor"]


class Walker:
    def __init__(self, pid, menus=True):
        self.pid = pid
        self.menus = menus  # whether the menu bars' dialogs are walked too
        self.faults = []
        self.walked = set()
        self.opened = []  # names of the windows the walk opened, in order
        self.focused = None
        self.listener = Atspi.EventListener.new(self.on_focus)
        self.listener.register("object:state-changed:focused")

    # --- events and keys -------------------------------------------------------------

    def on_focus(self, event):
        if event.detail1 == 1:
            self.focused = event.source

    def pump(self, seconds):
        end = time.monotonic() + seconds
        context = GLib.MainContext.default()
        while time.monotonic() < end:
            while context.iteration(False):
                pass
            time.sleep(0.01)

    def key(self, keysym, wait=0.25):
        """Presses a key and returns the object focused afterwards (None: no focus event)."""
        self.focused = None
        Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)
        end = time.monotonic() + wait
        context = GLib.MainContext.default()
        while time.monotonic() < end and self.focused is None:
            while context.iteration(False):
                pass
            time.sleep(0.01)
        self.pump(0.05)
        return self.focused

    # --- the application's windows -----------------------------------------------------

    def app(self):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            child = desktop.get_child_at_index(i)
            if child is not None and child.get_process_id() == self.pid:
                return child
        return None

    def windows(self):
        app = self.app()
        found = []
        if app is None:
            return found
        for i in range(app.get_child_count()):
            child = app.get_child_at_index(i)
            if child is not None and child.get_state_set().contains(Atspi.StateType.SHOWING):
                found.append(child)
        return found

    def active_window(self):
        for window in self.windows():
            if window.get_state_set().contains(Atspi.StateType.ACTIVE):
                return window
        return None

    @staticmethod
    def window_of(accessible):
        node = accessible
        while node is not None:
            parent = node.get_parent()
            if parent is None or parent.get_role() == Atspi.Role.APPLICATION:
                return node
            node = parent
        return None

    # --- checks --------------------------------------------------------------------------

    @staticmethod
    def value_of(accessible):
        role = accessible.get_role()
        try:
            if role == Atspi.Role.COMBO_BOX:
                for i in range(accessible.get_child_count()):
                    child = accessible.get_child_at_index(i)
                    selection = child.get_selection_iface() if child is not None else None
                    if selection is not None and selection.get_n_selected_children() > 0:
                        return selection.get_selected_child(0).get_name()
                    text = child.get_text_iface() if child is not None else None
                    if text is not None:
                        return text.get_text(0, -1)
            value = accessible.get_value_iface()
            if value is not None:
                number = value.get_current_value()
                return str(int(number)) if float(number).is_integer() else str(number)
            text = accessible.get_text_iface()
            if text is not None and role not in (Atspi.Role.LABEL, Atspi.Role.PUSH_BUTTON):
                return text.get_text(0, -1)
        except GLib.Error:
            pass
        return ""

    def check(self, where, accessible):
        name = (accessible.get_name() or "").strip()
        role = accessible.get_role_name()
        value = (self.value_of(accessible) or "").strip()
        if not name:
            self.faults.append(f"{where}: a {role} without a name (value {value!r})")
        elif value and name == value:
            self.faults.append(f"{where}: the {role} {name!r} is named only by its value")

    def check_ticks(self, where, tree):
        """Every sign of a sign tree shows its tick. The set-up ticks every sign, so each must be
        checked; Qt 6.4's bridge does not pass on "checkable", only "checked". The group item
        above the signs is no box and is left out."""
        for i in range(tree.get_child_count()):
            item = tree.get_child_at_index(i)
            if item is None or item.get_role() not in (Atspi.Role.TREE_ITEM, Atspi.Role.TABLE_CELL):
                continue
            if not re.match(r"\d+\.", item.get_name() or ""):
                continue
            states = item.get_state_set()
            if not states.contains(Atspi.StateType.CHECKED):
                shown = sorted(s.value_nick for s in states.get_states())
                self.faults.append(f"{where}: the ticked sign {item.get_name()!r} shows no checked state "
                                   f"({item.get_role_name()}: {', '.join(shown)})")

    # --- walking -------------------------------------------------------------------------

    @staticmethod
    def identity(accessible):
        """Where an object sits in the tree; None for an object that is gone."""
        path = []
        node = accessible
        try:
            while node is not None and node.get_role() != Atspi.Role.APPLICATION:
                path.append(node.get_index_in_parent())
                node = node.get_parent()
        except GLib.Error:
            return None
        return tuple(path)

    def tab_walk(self, window):
        """The focus stops of a window by Tab, in order, each checked."""
        title = window.get_name() or window.get_role_name()
        stops = []
        seen = set()
        for _ in range(200):
            focused = self.key(KEY_TAB)
            if focused is None or self.window_of(focused) is None:
                break
            if self.identity(self.window_of(focused)) != self.identity(window):
                break  # the focus left the window: a dialog closed or opened
            key = self.identity(focused)
            if key in seen:
                break
            seen.add(key)
            stops.append(focused)
            self.check(title, focused)
            trees = (Atspi.Role.TREE, Atspi.Role.TREE_TABLE)
            tree = focused if focused.get_role() in trees else focused.get_parent()
            if tree is not None and tree.get_role() in trees and tree.get_name() == "Signs":
                self.check_ticks(title, tree)
        return stops

    def focus(self, accessible):
        component = accessible.get_component_iface()
        if component is not None:
            component.grab_focus()
        self.pump(0.15)

    def is_open(self, window):
        return self.identity(window) in [self.identity(w) for w in self.windows()]

    def buttons_of(self, node, depth=0):
        if node is None or depth > 6:
            return []
        if node.get_role() == Atspi.Role.PUSH_BUTTON:
            return [node]
        found = []
        for i in range(node.get_child_count()):
            found += self.buttons_of(node.get_child_at_index(i), depth + 1)
        return found

    def give_keyboard(self, window):
        """Gives the keyboard to a window of the editor. The display has no window manager:
        when a dialog closes, the X focus goes back to the root window, not to the dialog's
        owner, and the keys of the walk would reach no window."""
        name = window.get_name() or ""
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.pid)],
                               capture_output=True, text=True, check=False).stdout.split()
        for xid in found:
            title = subprocess.run(["xdotool", "getwindowname", xid], capture_output=True, text=True,
                                   check=False).stdout.rstrip("\n")
            if title == name:
                subprocess.run(["xdotool", "windowfocus", "--sync", xid], capture_output=True, check=False)
                break
        self.pump(0.3)

    def close(self, window, opener_window):
        """Closes a window the walk opened with Escape and gives the keyboard back to the
        window that opened it. One that Escape cannot close is named, then closed by its
        Cancel or Close button."""
        for attempt in range(4):
            if not self.is_open(window):
                self.give_keyboard(opener_window)
                return True
            if attempt == 2:
                self.give_keyboard(window)
            self.key(KEY_ESCAPE, wait=0.4)
            self.pump(0.2)
        if not self.is_open(window):
            self.give_keyboard(opener_window)
            return True
        self.faults.append(f"{window.get_name()!r} did not close with Escape")
        for button in self.buttons_of(window):
            if (button.get_name() or "").strip().lower() in ("cancel", "close"):
                self.press(button)
                self.pump(0.5)
                break
        self.give_keyboard(opener_window)
        return not self.is_open(window)

    def new_window(self, before, wait=3.0):
        known = {self.identity(w) for w in before}
        end = time.monotonic() + wait
        while time.monotonic() < end:
            self.pump(0.1)
            for window in self.windows():
                if self.identity(window) not in known:
                    self.pump(0.3)
                    return window
        return None

    def open_and_walk(self, window, press):
        """Runs press(); walks and closes whatever window it opened."""
        before = self.windows()
        press()
        opened = self.new_window(before)
        if opened is None:
            return
        print(f"  opened {opened.get_name()!r}", flush=True)
        self.opened.append(opened.get_name() or "")
        self.walk(opened)
        self.close(opened, window)

    @staticmethod
    def is_menu_item(accessible):
        return accessible is not None and accessible.get_role() in (
            Atspi.Role.MENU_ITEM, Atspi.Role.CHECK_MENU_ITEM, Atspi.Role.RADIO_MENU_ITEM
        )

    def first_menu_item(self):
        """The focused item of a menu that has just opened; a button's menu opens with none
        focused until Down moves onto its first item."""
        return self.focused if self.is_menu_item(self.focused) else self.key(KEY_DOWN)

    def menu_items(self):
        """The items of the popup menu that has the focus now, by the Down key."""
        items = []
        seen = set()
        focused = self.first_menu_item()
        for _ in range(30):
            if not self.is_menu_item(focused):
                break
            key = focused.get_name()
            if key in seen:
                break
            seen.add(key)
            items.append(key)
            focused = self.key(KEY_DOWN)
        return items

    def walk_menu(self, where, window, open_menu):
        """Opens a menu, learns its items, then chooses each in turn."""
        open_menu()
        self.pump(0.3)
        items = self.menu_items()
        self.key(KEY_ESCAPE)
        for item in items:
            label = f"{where} > {item}"
            if label in self.walked:
                continue
            self.walked.add(label)

            def choose(name=item):
                # The menu may open on the item chosen last: the item is found by its name
                # among the open menu's items and chosen through its action.
                self.focused = None
                open_menu()
                self.pump(0.3)
                first = self.first_menu_item()
                menu = first.get_parent() if first is not None else None
                for i in range(menu.get_child_count() if menu is not None else 0):
                    entry = menu.get_child_at_index(i)
                    if self.is_menu_item(entry) and entry.get_name() == name:
                        self.press(entry)
                        return
                self.key(KEY_ESCAPE)

            self.open_and_walk(window, choose)
            if self.active_window() is None or self.identity(self.active_window()) != self.identity(window):
                self.pump(0.5)

    @staticmethod
    def press(accessible):
        """Runs the first action of an object. An action that opens a modal dialog answers
        only when the dialog closes: the call gives up waiting at once, the dialog stays."""
        Atspi.set_timeout(400, 10000)
        try:
            accessible.get_action_iface().do_action(0)
        except GLib.Error:
            pass
        finally:
            Atspi.set_timeout(3000, 10000)

    def walk_menu_bar_entry(self, where, window, entry):
        """Chooses each enabled item of a menu of the menu bar, which the tree holds while
        the menu is closed, and walks what it opens."""
        popup = entry.get_child_at_index(0) if entry.get_child_count() > 0 else None
        if popup is None:
            return
        for i in range(popup.get_child_count()):
            item = popup.get_child_at_index(i)
            if not self.is_menu_item(item) or item.get_action_iface() is None:
                continue
            name = item.get_name() or ""
            action = item.get_action_iface()
            if name.lower() in NOT_CHOSEN or action.get_n_actions() == 0 or action.get_action_name(0) != "Press":
                continue
            if not item.get_state_set().contains(Atspi.StateType.ENABLED) or f"{where} > {name}" in self.walked:
                continue
            self.walked.add(f"{where} > {name}")
            print(f"  choosing {where} > {name}", flush=True)
            self.open_and_walk(window, lambda it=item: self.press(it))
            if self.active_window() is None or self.identity(self.active_window()) != self.identity(window):
                self.pump(0.5)

    def menu_bar_items(self, window):
        found = []

        def visit(node, depth):
            if node is None or depth > 3:
                return
            if node.get_role() == Atspi.Role.MENU_BAR:
                for i in range(node.get_child_count()):
                    found.append(node.get_child_at_index(i))
                return
            for i in range(node.get_child_count()):
                visit(node.get_child_at_index(i), depth + 1)

        visit(window, 0)
        return found

    def walk(self, window):
        try:
            self.walk_window(window)
        except GLib.Error as error:
            # The window went away while it was walked (a button closed it), or an object
            # vanished under the walk; say so, so that a walk cut short is seen.
            print(f"  walk of {window.get_name()!r} ended: {error.message}", flush=True)

    def walk_window(self, window):
        title = window.get_name() or window.get_role_name()
        print(f"walking {title!r}", flush=True)
        stops = self.tab_walk(window)
        print(f"  {len(stops)} Tab stops", flush=True)
        for entry in self.menu_bar_items(window) if self.menus else []:
            name = (entry.get_name() or "").lower()
            if name in NO_DIALOGS:
                continue
            self.walk_menu_bar_entry(f"{title} > {entry.get_name()}", window, entry)
        for stop in stops:
            if stop.get_role() != Atspi.Role.PUSH_BUTTON:
                continue
            name = (stop.get_name() or "").strip()
            if name.lower() in ENDING | NOT_PRESSED or f"{title} > {name}" in self.walked:
                continue
            if name.startswith("Row ") and not name.startswith("Row 1 "):
                continue  # every row has the same buttons as the first
            self.walked.add(f"{title} > {name}")
            print(f"  pressing {name!r}", flush=True)
            state = stop.get_state_set()
            if not state.contains(Atspi.StateType.ENABLED) or not state.contains(Atspi.StateType.SHOWING):
                continue
            if name.startswith("Row 1 "):
                self.focus(stop)
                # The button's menu opens through its action: after a dialog has closed, the
                # window may not have the keyboard back in time for Space.
                self.walk_menu(f"{title} > {name}", window, lambda s=stop: (self.focus(s), self.press(s)))
                continue
            self.open_and_walk(window, lambda s=stop: (self.focus(s), Atspi.generate_keyboard_event(KEY_SPACE, None, Atspi.KeySynthType.SYM)))
            if self.identity(window) not in [self.identity(w) for w in self.windows()]:
                return  # the button ended the window


def write_utf16(path, text):
    with open(path, "wb") as out:
        out.write(b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le"))


def run(editor, model, menus):
    folder = tempfile.mkdtemp(prefix="vexa-atspi-")
    work = os.path.join(folder, "WorkData")
    os.makedirs(work)
    write_utf16(os.path.join(work, "System.set"),
                f"[Setting]\nLanguage=3\nLedType={model}\n[LEDData]\nNowSelID=1\n")
    write_utf16(os.path.join(work, "IDLIST.id"),
                "[IDLIST]\nGROUP_CHECK=0\nLEDID1=Entrance\nLEDID1_CHECK=1\nLEDID1_GROUP=1\n"
                "LEDID2=Platform\nLEDID2_CHECK=1\nLEDID2_GROUP=1\n")
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                       QT_QPA_PLATFORM="xcb", VEXA_IMAGE_DIR=os.path.join(folder, "Image"))
    process = subprocess.Popen([editor, "--data-dir", folder], cwd=folder, env=environment)
    walker = Walker(process.pid, menus)
    try:
        end = time.monotonic() + 30
        window = None
        restarted = False
        while time.monotonic() < end and window is None:
            walker.pump(0.3)
            if process.poll() is not None and not restarted:
                # The display was not ready for the first start: one more start.
                print(f"{model}: the editor ended at start (status {process.returncode}); starting it again", flush=True)
                process = subprocess.Popen([editor, "--data-dir", folder], cwd=folder, env=environment)
                walker.pid = process.pid
                restarted = True
                end = time.monotonic() + 30
            window = walker.active_window() or (walker.windows() or [None])[0]
        if window is None:
            return [f"{model}: the editor's window never reached the accessibility bus"]
        walker.pump(1.0)
        walker.walk(window)
        expected = ROW_DIALOGS + (MENU_DIALOGS if menus else [])
        for name in expected:
            if not any(opened.startswith(name) for opened in walker.opened):
                walker.faults.append(f"the walk did not open {name!r} (it opened {walker.opened})")
        return [f"{model}: {fault}" for fault in walker.faults]
    finally:
        process.terminate()
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()


def main():
    editor = os.path.abspath(sys.argv[1])
    Atspi.init()
    Atspi.set_timeout(3000, 10000)
    faults = []
    # The menu bar's dialogs are the same for every model: they are walked on the first;
    # the rows' buttons and editors, which differ by model, on each.
    for index, model in enumerate(sys.argv[2:] or ["P26", "P06"]):
        faults += run(editor, model, menus=index == 0)
    for fault in faults:
        print(fault)
    print(f"atspi: {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
