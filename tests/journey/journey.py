#!/usr/bin/python3
"""A day's first hour with the desktop program, as a user has it: real key presses and mouse
clicks through the X server (xdotool), and what the window shows read back from the
accessibility bus as a screen reader reads it (AT-SPI). Nothing here calls into the program.

    journey.py PAGELYST_BINARY HOME_DIR SCREENSHOT_DIR

Run it through run-journey.sh, which gives it a display, a window manager and the bus.
"""
import os
import subprocess
import sys
import time

import pyatspi

PROGRAM, HOME, SHOTS = sys.argv[1:4]
CONTROL_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_LIST, pyatspi.ROLE_TREE, pyatspi.ROLE_TABLE,
    pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SLIDER,
    pyatspi.ROLE_PAGE_TAB_LIST, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_TOGGLE_BUTTON,
}
STEP_SECONDS = 60  # the longest any one step may take under the sanitizers


class JourneyError(Exception):
    pass


def log(text):
    print(f"[{time.strftime('%H:%M:%S')}] {text}", flush=True)


def xdo(*arguments):
    subprocess.run(["xdotool", *arguments], check=True)


def key(*keys):
    xdo("key", "--delay", "60", *keys)
    time.sleep(0.3)


def type_text(text):
    xdo("type", "--delay", "25", text)
    time.sleep(0.3)


def screenshot(name):
    path = os.path.join(SHOTS, f"journey-{name}.png")
    subprocess.run(["import", "-window", "root", path], check=True)
    log(f"screenshot {path}")


def states(node):
    try:
        return node.getState()
    except Exception:
        return None


def showing(node):
    state = states(node)
    return state is not None and state.contains(pyatspi.STATE_SHOWING)


def walk(node, depth=0):
    """Every showing node under `node`; the rows and cells of lists and trees are left out."""
    if node is None or depth > 60:
        return
    yield node
    try:
        role = node.getRole()
        count = node.childCount
    except Exception:
        return
    if role in (pyatspi.ROLE_LIST, pyatspi.ROLE_TREE, pyatspi.ROLE_TABLE,
                pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_DOCUMENT_WEB, pyatspi.ROLE_DOCUMENT_FRAME):
        return
    for i in range(min(count, 400)):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None and showing(child):
            yield from walk(child, depth + 1)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "Pagelyst":
            return app
    return None


def wait_for(what, probe, seconds=STEP_SECONDS):
    deadline = time.time() + seconds
    while time.time() < deadline:
        try:
            found = probe()
        except Exception:
            found = None
        if found:
            return found
        time.sleep(0.25)
    raise JourneyError(f"gave up waiting for {what}")


def find(role, name=None, within=None, starts=False, seconds=STEP_SECONDS):
    def probe():
        root = within or application()
        for node in walk(root):
            if node.getRole() != role:
                continue
            if name is None or node.name == name or (starts and node.name.startswith(name)):
                return node
        return None
    return wait_for(f"{pyatspi.Atspi.role_get_name(role)} '{name}'", probe, seconds)


def shown_window(title):
    """The shown top-level window (frame or dialog) whose title starts with `title`, if any."""
    app = application()
    for i in range(app.childCount if app else 0):
        top = app.getChildAtIndex(i)
        if top is not None and top.name.startswith(title) and showing(top):
            return top
    return None


def window(title, seconds=STEP_SECONDS):
    return wait_for(f"the window '{title}'", lambda: shown_window(title), seconds)


def gone(title, seconds=STEP_SECONDS):
    wait_for(f"the window '{title}' to close", lambda: shown_window(title) is None, seconds)


def click(node):
    extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y = extents.x + extents.width // 2, extents.y + extents.height // 2
    xdo("mousemove", "--sync", str(x), str(y))
    xdo("click", "1")
    time.sleep(0.4)


def enabled(node):
    state = states(node)
    return state is not None and state.contains(pyatspi.STATE_SENSITIVE)


def checked(node):
    state = states(node)
    return state is not None and state.contains(pyatspi.STATE_CHECKED)


def rows(tree):
    return tree.queryTable().nRows


def cell_texts(tree, column=0):
    table = tree.queryTable()
    return [table.getAccessibleAt(r, column).name for r in range(table.nRows)]


def checked_pages(tree):
    """The pages a scenario keeps: those checked (a page outside the scope is not)."""
    table = tree.queryTable()
    return [table.getAccessibleAt(r, 0).name for r in range(table.nRows)
            if checked(table.getAccessibleAt(r, 0))]


def unnamed_controls(root):
    return [f"{node.getRoleName()} under '{node.parent.name if node.parent else ''}'"
            for node in walk(root)
            if node.getRole() in CONTROL_ROLES and not any(c.isalnum() for c in node.name)
            and node.parent is not None and node.parent.getRole() != pyatspi.ROLE_COMBO_BOX]


def save_through_dialog(title, path):
    """Types a path into the save dialog the last command opened."""
    dialog = window(title)
    field = wait_for("the file name field", lambda: next(
        (n for n in walk(dialog) if n.getRole() == pyatspi.ROLE_TEXT and enabled(n)
         and "name" in n.name.lower()), None))
    click(field)
    key("ctrl+a")
    type_text(path)
    key("Return")
    gone(title)
    wait_for(f"the file {path}", lambda: os.path.exists(path) and os.path.getsize(path) > 0)


def start(*arguments):
    env = dict(os.environ, PAGELYST_HOME=HOME)
    process = subprocess.Popen([PROGRAM, *arguments], env=env)
    wait_for("the program on the accessibility bus", application, 120)
    return process


def close_tip():
    tip = window("Tip of the Day", 120)
    click(find(pyatspi.ROLE_PUSH_BUTTON, "Close", within=tip))
    gone("Tip of the Day")


def main_window():
    return wait_for("the main window", lambda: next(
        (application().getChildAtIndex(i) for i in range(application().childCount)
         if application().getChildAtIndex(i).getRole() == pyatspi.ROLE_FRAME and
         "Pagelyst" in application().getChildAtIndex(i).name), None), 120)


def list_named(name, within):
    return wait_for(f"the list '{name}'", lambda: next(
        (n for n in walk(within) if n.name == name and
         n.getRole() in (pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE,
                         pyatspi.ROLE_LIST)), None))


def site_tree(frame):
    return list_named("Site Tree", frame)


def idle(frame):
    stop = find(pyatspi.ROLE_PUSH_BUTTON, "Stop", frame)
    analyze_all = find(pyatspi.ROLE_PUSH_BUTTON, "Analyze All", frame)
    wait_for("the run to end", lambda: not enabled(stop), 300)
    return analyze_all


VIEWS = [  # the selection bar's entry, and a control only that view shows
    ("Site Tree", "Site Tree"),
    ("Analysis", "Web Page Elements"),
    ("Reports", "Report"),
    ("Statistics", "Statistics Result"),
    ("Waterfall", "Waterfall"),
    ("Page Status", "Page Status"),
]


def journey():
    os.makedirs(SHOTS, exist_ok=True)
    exports = os.path.join(HOME, "exports")
    os.makedirs(exports, exist_ok=True)
    scenario = os.path.join(HOME, "journey.wsa")

    log("start with no settings")
    program = start("--demo")
    close_tip()
    frame = main_window()
    # An editable box is announced by what it holds.
    address = find(pyatspi.ROLE_COMBO_BOX, within=find(pyatspi.ROLE_TOOL_BAR, "Address Bar", frame))
    field = next(n for n in walk(address) if n.getRole() == pyatspi.ROLE_TEXT)
    demo = field.queryText().getText(0, -1)
    if not demo.startswith("http://127.0.0.1"):
        raise JourneyError(f"the demo address is missing from the bar: '{demo}'")

    log("type the demo address and analyse it")
    key("alt+d")
    key("ctrl+a", "BackSpace")
    type_text(demo)
    key("Return")
    tree = site_tree(frame)
    wait_for("the first page in the tree", lambda: rows(tree) >= 1)
    idle(frame)

    log("crawl with Auto on")
    auto = find(pyatspi.ROLE_CHECK_BOX, "Auto", frame)
    if not checked(auto):
        click(auto)
    wait_for("Auto on", lambda: checked(auto))
    click(idle(frame))
    wait_for("the crawl to find pages", lambda: rows(tree) > 1)
    idle(frame)
    pages = checked_pages(tree)
    log(f"{rows(tree)} pages in the tree, {len(pages)} of them checked")
    if not pages:
        raise JourneyError("no page of the crawl is checked")
    screenshot("1-crawled")

    log("every view")
    for entry, control in VIEWS:
        click(find(pyatspi.ROLE_CHECK_BOX, entry, frame))
        wait_for(f"the {entry} view", lambda: next(
            (n for n in walk(frame) if n.name == control and n.getRole() in CONTROL_ROLES |
             {pyatspi.ROLE_SCROLL_PANE, pyatspi.ROLE_FILLER, pyatspi.ROLE_PANEL,
              pyatspi.ROLE_DOCUMENT_WEB, pyatspi.ROLE_DOCUMENT_FRAME}), None))
        unnamed = unnamed_controls(frame)
        if unnamed:
            raise JourneyError(f"unnamed controls in the {entry} view: {unnamed}")
        if entry == "Waterfall":
            screenshot("2-waterfall")

    log("every connection type")
    connection = find(pyatspi.ROLE_COMBO_BOX, "Actual Speed", frame)
    seen = [connection.name]
    for _ in range(10):
        click(connection)
        key("Down", "Return")
        wait_for("the next connection type", lambda: connection.name != seen[-1])
        seen.append(connection.name)
    if seen[1] != "LAN 10MB" or seen[-1] != "14.4K" or len(set(seen)) != 11:
        raise JourneyError(f"the connection types went {seen}")
    screenshot("3-slowest-connection")
    click(connection)
    key("Home", "Return")
    wait_for("Actual Speed again", lambda: connection.name == "Actual Speed")

    log("add a condition")
    click(find(pyatspi.ROLE_PUSH_BUTTON, "Settings", frame))
    settings = window("Settings")
    click(find(pyatspi.ROLE_PAGE_TAB, "Conditions", settings))
    click(find(pyatspi.ROLE_PUSH_BUTTON, "New...", settings))
    condition = window("Condition")
    name = wait_for("the condition's name field", lambda: next(
        (n for n in walk(condition) if n.getRole() == pyatspi.ROLE_TEXT and
         n.name.startswith("Condition Name")), None))
    click(name)
    key("ctrl+a")
    type_text("Journey slow pages")
    click(find(pyatspi.ROLE_SPIN_BUTTON, within=condition))
    key("ctrl+a")
    type_text("3")
    ok = find(pyatspi.ROLE_PUSH_BUTTON, "OK", condition)
    wait_for("OK to be enabled", lambda: enabled(ok))
    click(ok)
    gone("Condition")
    conditions = list_named("Conditions", settings)
    wait_for("the new condition in the list", lambda: "Journey slow pages" in cell_texts(conditions))
    click(find(pyatspi.ROLE_PUSH_BUTTON, "OK", settings))
    gone("Settings")

    log("create a statistic and export it as CSV")
    click(find(pyatspi.ROLE_CHECK_BOX, "Statistics", frame))
    key("alt+s")
    key("n")
    wizard = window("New Statistics")
    title = wait_for("the statistic's title field", lambda: next(
        (n for n in walk(wizard) if n.getRole() == pyatspi.ROLE_TEXT and n.name == "Title"),
        None))
    click(title)
    key("ctrl+a")
    type_text("Journey statistic")
    click(find(pyatspi.ROLE_PUSH_BUTTON, "Next", wizard, starts=True))
    query = wait_for("the query field", lambda: next(
        (n for n in walk(wizard) if n.name == "Query" and
         n.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_PARAGRAPH)), None))
    click(query)
    type_text("SELECT Host, Count(Size) as 'Count', SUM(Size) as 'Size Total' group by Host")
    click(find(pyatspi.ROLE_PUSH_BUTTON, "Finish", wizard, starts=True))
    gone("New Statistics")
    key("alt+f")
    key("t")
    save_through_dialog("Export", os.path.join(exports, "journey.csv"))

    log("create a report and export it as HTML")
    click(find(pyatspi.ROLE_CHECK_BOX, "Reports", frame))
    key("alt+r")
    key("n")
    wizard = window("Create New Report")
    name = wait_for("the report's name field", lambda: next(
        (n for n in walk(wizard) if n.getRole() == pyatspi.ROLE_TEXT and
         n.name.startswith("Report Name")), None))
    click(name)
    key("ctrl+a")
    type_text("Journey report")
    click(find(pyatspi.ROLE_PUSH_BUTTON, "Next", wizard, starts=True))
    click(find(pyatspi.ROLE_PUSH_BUTTON, "Finish", wizard, starts=True))
    gone("Create New Report")
    screenshot("4-report")
    key("alt+f")
    key("t")
    save_through_dialog("Export", os.path.join(exports, "journey.html"))

    log("export the pages as HAR")
    key("alt+f")
    key("a")
    save_through_dialog("Export HAR", os.path.join(exports, "journey.har"))

    log("save the scenario and quit")
    key("ctrl+s")
    save_through_dialog("Save Scenario", scenario)
    key("alt+F4")
    program.wait(120)
    if program.returncode != 0:
        raise JourneyError(f"the program ended with status {program.returncode}")

    log("start again with the scenario")
    program = start(scenario)
    close_tip()
    frame = main_window()
    tree = site_tree(frame)
    wait_for("the scenario's pages", lambda: checked_pages(tree) == pages, 120)
    click(find(pyatspi.ROLE_CHECK_BOX, "Statistics", frame))
    find_in_pane(frame, "Statistics Type", "Journey statistic")
    click(find(pyatspi.ROLE_CHECK_BOX, "Reports", frame))
    find_in_pane(frame, "Report Type...", "Journey report")
    screenshot("5-reopened")
    click(find(pyatspi.ROLE_PUSH_BUTTON, "Settings", frame))
    settings = window("Settings")
    click(find(pyatspi.ROLE_PAGE_TAB, "Conditions", settings))
    conditions = list_named("Conditions", settings)
    wait_for("the condition kept", lambda: "Journey slow pages" in cell_texts(conditions))
    click(find(pyatspi.ROLE_PUSH_BUTTON, "Cancel", settings))
    gone("Settings")
    key("alt+F4")
    program.wait(120)
    for name in ("journey.csv", "journey.html", "journey.har"):
        if os.path.getsize(os.path.join(exports, name)) == 0:
            raise JourneyError(f"{name} is empty")
    log("journey complete")


def find_in_pane(frame, tab, entry):
    """Finds `entry` in a view's choice pane, opening the pane from its tab if it is folded."""
    def listed():
        return any(n.name == entry for n in all_items(frame))
    try:
        wait_for(f"'{entry}' in the pane", listed, 5)
        return
    except JourneyError:
        pass
    click(find(pyatspi.ROLE_PAGE_TAB, tab, frame))
    wait_for(f"'{entry}' in the pane '{tab}'", listed)


def all_items(frame):
    """Every showing node including the rows of lists."""
    stack = [frame]
    while stack:
        node = stack.pop()
        yield node
        try:
            for i in range(min(node.childCount, 400)):
                child = node.getChildAtIndex(i)
                if child is not None and showing(child):
                    stack.append(child)
        except Exception:
            pass


def dump(path):
    """What the bus showed when the journey failed, for the log."""
    with open(path, "w") as out:
        def write(node, depth):
            if node is None or depth > 30:
                return
            out.write(f"{'  ' * depth}{node.getRoleName()} '{node.name}'"
                      f"{'' if showing(node) else ' (hidden)'}\n")
            if node.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_TREE, pyatspi.ROLE_TABLE):
                return
            for i in range(min(node.childCount, 100)):
                write(node.getChildAtIndex(i), depth + 1)
        write(application(), 0)
    log(f"the accessibility tree is in {path}")


if __name__ == "__main__":
    try:
        journey()
    except JourneyError as error:
        log(f"FAILED: {error}")
        try:
            screenshot("failure")
            dump(os.path.join(SHOTS, "journey-failure-tree.txt"))
        except Exception:
            pass
        sys.exit(1)
