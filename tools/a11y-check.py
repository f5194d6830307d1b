#!/usr/bin/env python3
# Drives Tavolin through its AT-SPI accessibility tree: lists interactive controls without a name,
# presses "输出" and reads cells of the two grids. Run it through tools/a11y-check.sh.
import argparse
import subprocess
import sys
import time

import pyatspi

INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_SLIDER, pyatspi.ROLE_TABLE, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_MENU_ITEM,
    pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM, pyatspi.ROLE_MENU,
    pyatspi.ROLE_ENTRY, pyatspi.ROLE_TEXT, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_LIST,
    pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_SCROLL_BAR,
    pyatspi.ROLE_DATE_EDITOR,
}
# Roles a user neither focuses nor operates; their parts are walked all the same.
SKIP_CHILDREN_OF = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_LIST}


def find_app(name, timeout):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name and app.childCount > 0:
                return app
        time.sleep(0.3)
    return None


def walk(node, path=(), depth=0):
    if node is None or depth > 60:
        return
    yield node, path
    try:
        role = node.getRole()
        count = node.childCount
    except Exception:
        return
    if role in SKIP_CHILDREN_OF:
        return
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, path + (label(node),), depth + 1)


def label(node):
    try:
        return "%s[%s]" % (node.getRoleName(), node.name)
    except Exception:
        return "?"


def visible(node):
    try:
        states = node.getState()
        return states.contains(pyatspi.STATE_SHOWING) or node.getRole() in (
            pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM,
            pyatspi.ROLE_MENU)
    except Exception:
        return False


def nameless(root, where):
    """Interactive controls with an empty name, as printable lines."""
    found = []
    for node, path in walk(root):
        try:
            role = node.getRole()
        except Exception:
            continue
        if role not in INTERACTIVE or not visible(node):
            continue
        if role == pyatspi.ROLE_SCROLL_BAR:
            continue  # Qt's scroll bars carry no label anywhere; not a control of ours
        if role == pyatspi.ROLE_MENU_ITEM and not node.getState().contains(pyatspi.STATE_ENABLED):
            continue  # hidden actions (unused recent-file slots) carry no state at all
        if role == pyatspi.ROLE_COMBO_BOX and labelled_by(node):
            continue  # Qt names a combo box by its value on Linux; the label is its relation
        if not node.name.strip():
            found.append("%s: %s (in %s)" % (where, node.getRoleName(), " > ".join(path[-3:])))
    return found


def labelled_by(node):
    for rel in node.getRelationSet():
        if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY and rel.getNTargets():
            return rel.getTarget(0).name
    return ""


def inventory(root):
    lines = []
    for node, path in walk(root):
        try:
            if node.getRole() in INTERACTIVE and visible(node):
                by = labelled_by(node) if node.getRole() == pyatspi.ROLE_COMBO_BOX else ""
                lines.append("  " * min(len(path), 12) + label(node) +
                             (" labelled by [%s]" % by if by else ""))
        except Exception:
            pass
    return lines


def find(root, role, name):
    for node, _ in walk(root):
        try:
            if node.getRole() == role and node.name == name and node.getState().contains(
                    pyatspi.STATE_SHOWING):
                return node
        except Exception:
            pass
    return None


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click", "Toggle", "SetFocus"):
            return action.doAction(i)
    return action.doAction(0)


def read_grid(root, name, rows):
    table = find(root, pyatspi.ROLE_TABLE, name)
    if table is None:
        return None, ["grid \"%s\" not in the tree" % name]
    t = table.queryTable()
    out = []
    cols = [t.getColumnDescription(c) or "" for c in range(t.nColumns)]
    out.append("grid \"%s\": %d rows x %d columns; headers: %s" % (name, t.nRows, t.nColumns,
                                                                   " | ".join(cols)))
    filled = 0
    for r in range(min(rows, t.nRows)):
        cells = []
        for c in range(t.nColumns):
            cell = t.getAccessibleAt(r, c)
            text = cell.name if cell is not None else "<none>"
            if cell is not None and not text:
                try:
                    tx = cell.queryText()
                    text = tx.getText(0, tx.characterCount)
                except NotImplementedError:
                    pass
            filled += bool(text)
            cells.append(text)
        out.append("  row %d: %s" % (r + 1, " | ".join(cells)))
    problems = [] if filled else ["grid \"%s\" shows no cell text" % name]
    return out, problems


def windows(app):
    return [app.getChildAtIndex(i) for i in range(app.childCount)]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("program", nargs="?")
    ap.add_argument("job", nargs="?")
    ap.add_argument("--press-menu", help=argparse.SUPPRESS)
    ap.add_argument("--list", action="store_true", help="print every interactive control")
    args = ap.parse_args()
    if args.press_menu:
        return press_menu(args.press_menu)

    proc = subprocess.Popen([args.program, args.job])
    problems = []
    try:
        app = find_app("tavolin", 30)
        if app is None:
            print("tavolin did not appear on the accessibility bus")
            return 2
        time.sleep(1.5)
        main_win = windows(app)[0]
        print("main window: %s" % main_win.name)
        if args.list:
            print("\n".join(inventory(main_win)))
        problems += nameless(main_win, "main screen")
        problems += check_dialogs(app, main_win, MAIN_DIALOGS, args.list)

        out = find(main_win, pyatspi.ROLE_PUSH_BUTTON, "输出")
        if out is None:
            problems.append("no \"输出\" button in the tool bar")
        else:
            press(out)
            time.sleep(2.0)
            if args.list:
                print("--- after 输出")
                print("\n".join(inventory(main_win)))
            problems += nameless(main_win, "analysis screen")
            for grid in ("测区数据", "回弹数据"):
                lines, p = read_grid(main_win, grid, 4)
                problems += p
                print("\n".join(lines or []))
            problems += check_dialogs(app, main_win, ANALYSIS_DIALOGS, args.list)

    finally:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()

    if problems:
        print("PROBLEMS (%d):" % len(problems))
        print("\n".join("  " + p for p in problems))
        return 1
    print("OK: every interactive control has a name; both grids show their cells")
    return 0


# Menu commands that open a dialog and leave the job as it was, per screen.
MAIN_DIALOGS = ["检测参数", "滤波", "关于 Tavolin(A)..."]
ANALYSIS_DIALOGS = ["角度修正表", "测试面修正表", "碳化深度修正表", "钻芯修正", "测强曲线库", "拟合测强曲线",
                    "打印设置", "打印预览(V)", "联系我们", "关于"]


def showing_dialogs(app):
    return [w for w in windows(app) if w.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT)
            and w.getState().contains(pyatspi.STATE_SHOWING)]


def check_dialogs(app, main_win, names, listing):
    problems = []
    for name in names:
        item = find_menu_item(main_win, name)
        if item is None:
            print("menu command \"%s\" not offered (absent or disabled)" % name)
            continue
        # Triggering a menu item answers only when its modal dialog closes: press it from a
        # helper process and walk the dialog from here meanwhile.
        helper = subprocess.Popen([sys.executable, __file__, "--press-menu", name])
        dlg = None
        for _ in range(40):
            time.sleep(0.25)
            shown = showing_dialogs(app)
            if shown:
                dlg = shown[-1]
                break
        if dlg is None:
            problems.append("menu command \"%s\" showed no dialog" % name)
            helper.kill()
            continue
        time.sleep(0.5)
        print("dialog \"%s\" (from %s)" % (dlg.name, name))
        if listing:
            print("\n".join(inventory(dlg)))
        if not dlg.name.strip():
            problems.append("dialog from \"%s\" has no title" % name)
        problems += nameless(dlg, "dialog " + (dlg.name or name))
        if not close_dialog(dlg):
            problems.append("dialog \"%s\" has no 取消/关闭/确定 button" % dlg.name)
        try:
            helper.wait(15)
        except subprocess.TimeoutExpired:
            helper.kill()
            problems.append("dialog \"%s\" did not close through its button" % dlg.name)
            break
    return problems


def find_menu_item(root, name):
    for node, _ in walk(root):
        try:
            if node.getRole() == pyatspi.ROLE_MENU_ITEM and node.name == name and \
                    node.getState().contains(pyatspi.STATE_ENABLED):
                return node
        except Exception:
            pass
    return None


def press_menu(name):
    app = find_app("tavolin", 10)
    item = find_menu_item(windows(app)[0], name) if app else None
    if item is None:
        return 1
    try:
        press(item)
    except Exception:
        pass  # the answer comes late or never while the dialog is modal
    return 0


def close_dialog(dlg):
    for want in ("取消", "关闭", "确定"):
        b = find(dlg, pyatspi.ROLE_PUSH_BUTTON, want)
        if b is not None:
            press(b)
            return True
    return False


if __name__ == "__main__":
    sys.exit(main())
