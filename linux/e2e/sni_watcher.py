#!/usr/bin/python3
"""A StatusNotifierWatcher of its own on the session bus, as a desktop's panel
runs one: it takes the first item that registers, writes what the item
exports (its id, title, status and icon, then its menu through the dbusmenu
interface, one "KIND|TEXT|CHECK" line per item as atspi_menu.py writes them)
to OUT, every 0.3 s, and keeps running until killed or TIMEOUT seconds pass.
  sni_watcher.py OUT [TIMEOUT]"""
import os
import sys

from gi.repository import Gio, GLib

WATCHER = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  </interface>
</node>"""

out = sys.argv[1]
timeout = int(sys.argv[2]) if len(sys.argv) > 2 else 60
loop = GLib.MainLoop()
items = []


def menu_lines(layout, prefix=""):
    lines = []
    for child in layout[2]:
        _, props, _ = child
        if props.get("visible", True) is False:
            continue
        if props.get("type") == "separator":
            lines.append(f"{prefix}separator||")
            continue
        label = props.get("label", "")
        if props.get("children-display") == "submenu":
            lines.append(f"{prefix}submenu|{label}|")
            lines += menu_lines(child, prefix + "> ")
        elif props.get("toggle-type") in ("checkmark", "radio"):
            lines.append(f"{prefix}check|{label}|{1 if props.get('toggle-state') == 1 else 0}")
        else:
            lines.append(f"{prefix}command|{label}|")
    return lines


def describe(bus, service, path):
    def get(name):
        v = bus.call_sync(service, path, "org.freedesktop.DBus.Properties", "Get",
                          GLib.Variant("(ss)", ("org.kde.StatusNotifierItem", name)),
                          GLib.VariantType("(v)"), 0, 5000, None)
        return v.unpack()[0]
    lines = [f"{name} {get(name)}" for name in ("Id", "Title", "Status", "IconName")]
    menu = get("Menu")
    layout = bus.call_sync(service, menu, "com.canonical.dbusmenu", "GetLayout",
                           GLib.Variant("(iias)", (0, -1, [])), GLib.VariantType("(u(ia{sv}av))"),
                           0, 5000, None).unpack()[1]
    lines += menu_lines(layout)
    with open(out + ".tmp", "w") as f:
        f.write("\n".join(lines) + "\n")
    os.replace(out + ".tmp", out)


def on_call(bus, sender, path, interface, method, params, invocation):
    if method == "RegisterStatusNotifierItem":
        name = params.unpack()[0]
        service, item = (sender, name) if name.startswith("/") else (name, "/StatusNotifierItem")
        items.append(f"{service}{item}")
        invocation.return_value(None)
        bus.emit_signal(None, "/StatusNotifierWatcher", "org.kde.StatusNotifierWatcher",
                        "StatusNotifierItemRegistered", GLib.Variant("(s)", (items[-1],)))
        # Read again and again: the menu follows the clock's state.
        GLib.timeout_add(300, lambda: (describe(bus, service, item), True)[1])
    else:
        invocation.return_value(None)


def on_get(bus, sender, path, interface, name):
    if name == "RegisteredStatusNotifierItems":
        return GLib.Variant("as", items)
    if name == "IsStatusNotifierHostRegistered":
        return GLib.Variant("b", True)
    return GLib.Variant("i", 0)


def on_bus(bus, name):
    info = Gio.DBusNodeInfo.new_for_xml(WATCHER).interfaces[0]
    bus.register_object("/StatusNotifierWatcher", info, on_call, on_get, None)


Gio.bus_own_name(Gio.BusType.SESSION, "org.kde.StatusNotifierWatcher", Gio.BusNameOwnerFlags.NONE,
                 on_bus, None, lambda *a: loop.quit())
GLib.timeout_add_seconds(timeout, loop.quit)
loop.run()
