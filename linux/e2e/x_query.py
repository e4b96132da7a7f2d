#!/usr/bin/python3
"""What the scenarios ask of the X display through GDK.
  x_query.py composited   exits 0 when a compositing manager runs"""
import sys

import gi

gi.require_version("Gdk", "3.0")
from gi.repository import Gdk  # noqa: E402


def main():
    if sys.argv[1] == "composited":
        sys.exit(0 if Gdk.Screen.get_default().is_composited() else 1)
    sys.exit(f"unknown question {sys.argv[1]}")


if __name__ == "__main__":
    main()
