#!/usr/bin/python3
"""Reads the clock's open context menu through the accessibility bus (AT-SPI).
  atspi_menu.py items    one line per item of the open menu, top to bottom:
                         "KIND|TEXT|CHECK", KIND command, check, separator or
                         submenu, CHECK 1 or 0 for check items; a submenu's
                         items follow it, each line prefixed with "> ".
                         Nothing when no menu of the clock is open."""
import sys

import pyatspi

APP_NAMES = {"velmor-clock", "Velmor Clock"}


def kind(node):
    role = node.getRole()
    if role == pyatspi.ROLE_SEPARATOR:
        return "separator"
    if role == pyatspi.ROLE_MENU:
        return "submenu"
    if role in (pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM):
        return "check"
    return "command"


def lines(menu, prefix=""):
    out = []
    for item in menu:
        if item is None:
            continue
        k = kind(item)
        checked = item.getState().contains(pyatspi.STATE_CHECKED)
        check = ("1" if checked else "0") if k == "check" else ""
        out.append(f"{prefix}{k}|{item.name}|{check}")
        if k == "submenu":
            out += lines(item, prefix + "> ")
    return out


def open_menus(node, depth=0):
    """Showing menus that are not a submenu's item list."""
    if node is None or depth > 12:
        return
    try:
        role = node.getRole()
        showing = node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return
    if role == pyatspi.ROLE_MENU and showing and node.parent is not None \
            and node.parent.getRole() != pyatspi.ROLE_MENU:
        yield node
        return
    for child in node:
        yield from open_menus(child, depth + 1)


def main():
    if sys.argv[1:] != ["items"]:
        sys.exit(__doc__)
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None or app.name not in APP_NAMES:
            continue
        for menu in open_menus(app):
            print("\n".join(lines(menu)))
            return


if __name__ == "__main__":
    main()
