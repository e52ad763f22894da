#!/usr/bin/python3
"""Reads a headless compositor's screenshot and scene graph for the Wayland
check of the real program.

  wayland_shot_check.py main SCENE.txt PID
      Prints "SURFACE LAYER" of the program's only top-level window, its
      main window (the dialogs share its title, so later steps know it by
      its surface).
  wayland_shot_check.py corners SHOT.png SCENE.txt SURFACE WIDTH HEIGHT
      Prints the pixels of the main window's four 6 x 6 corners and exits 1
      unless every pixel outside the window's region shows the desktop
      behind and every pixel inside it the window.
  wayland_shot_check.py above SCENE.txt PID SURFACE
      Exits 1 unless another top-level window of the program is stacked
      above its main window, in the same layer.
  wayland_shot_check.py position SCENE.txt SURFACE
      Prints "X Y" of the main window on the output.
  wayland_shot_check.py mapped SCENE.txt SURFACE LAYER
      Exits 1 unless the main window is still in its layer of the desktop.
  wayland_shot_check.py hidden SCENE.txt SURFACE LAYER
      Exits 1 unless the main window has left that layer (minimised).

The desktop behind is the background colour of the check's weston.ini.
"""

import re
import subprocess
import sys

DESKTOP = (255, 0, 255)


def region_rects(cx, cy):
    """The main window's region: eleven rectangles, right and bottom
    exclusive, as the program cuts it."""
    return [
        (0, 5, 1, cy - 5), (1, 3, 2, cy - 3), (2, 2, 3, cy - 2),
        (3, 1, 4, cy - 1), (4, 1, 5, cy - 1), (5, 1, cx - 5, cy),
        (cx - 5, 1, cx - 4, cy - 1), (cx - 4, 2, cx - 3, cy - 2),
        (cx - 3, 2, cx - 2, cy - 2), (cx - 2, 3, cx - 1, cy - 3),
        (cx - 1, 5, cx, cy - 5),
    ]


def in_region(x, y, cx, cy):
    return any(l <= x < r and t <= y < b for l, t, r, b in region_rects(cx, cy))


def read_png(path):
    """The picture as (width, height, rows of RGB tuples), through
    ImageMagick (its real binary: `convert` may be a stand-in)."""
    for tool in ("convert-im6.q16", "convert"):
        try:
            ppm = subprocess.run([tool, path, "-depth", "8", "ppm:-"], check=True,
                                 capture_output=True).stdout
            break
        except (OSError, subprocess.CalledProcessError):
            continue
    else:
        sys.exit(f"cannot read {path}")
    fields = []
    pos = 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        if ppm[pos:pos + 1] == b"#":
            pos = ppm.index(b"\n", pos)
            continue
        end = pos
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[pos:end])
        pos = end
    pos += 1
    width, height = int(fields[1]), int(fields[2])
    data = ppm[pos:]

    def pixel(x, y):
        i = 3 * (y * width + x)
        return tuple(data[i:i + 3])
    return width, height, pixel


def views(scene_path):
    """The scene graph's top-level views, top to bottom:
    (layer, surface, pid, x1, y1, x2, y2)."""
    found = []
    layer = None
    current = None
    for line in open(scene_path, encoding="utf-8", errors="replace"):
        m = re.match(r"Layer \d+ \(pos (0x[0-9a-f]+)\)", line)
        if m:
            layer = m.group(1)
            continue
        m = re.match(r"\s+View \d+ \(role xdg_toplevel, PID (\d+), surface ID (\d+),", line)
        if m:
            current = [layer, int(m.group(2)), int(m.group(1))]
            continue
        if re.match(r"\s+View \d+", line):
            current = None
            continue
        m = re.match(r"\s+position: \((-?\d+), (-?\d+)\) -> \((-?\d+), (-?\d+)\)", line)
        if m and current is not None:
            found.append(tuple(current) + tuple(int(v) for v in m.groups()))
            current = None
    return found


def find(scene_path, surface):
    for view in views(scene_path):
        if view[1] == surface:
            return view
    return None


def main(scene, pid):
    mine = [v for v in views(scene) if v[2] == pid]
    if len(mine) != 1:
        print(f"main: {len(mine)} top-level windows of process {pid}", file=sys.stderr)
        return 1
    print(mine[0][1], mine[0][0])
    return 0


def corners(shot, scene, surface, cx, cy):
    view = find(scene, surface)
    if view is None:
        print("corners: the main window is not in the scene graph")
        return 1
    _, _, _, wx, wy, _, _ = view
    width, height, pixel = read_png(shot)
    bad = 0
    for name, x0, y0 in (("top left", 0, 0), ("top right", cx - 6, 0),
                         ("bottom left", 0, cy - 6), ("bottom right", cx - 6, cy - 6)):
        print(f"{name} corner at window ({x0}, {y0}), screen ({wx + x0}, {wy + y0}):")
        for y in range(y0, y0 + 6):
            row = []
            for x in range(x0, x0 + 6):
                sx, sy = wx + x, wy + y
                if not (0 <= sx < width and 0 <= sy < height):
                    row.append("off-screen")
                    bad += 1
                    continue
                p = pixel(sx, sy)
                inside = in_region(x, y, cx, cy)
                ok = (p == DESKTOP) != inside
                bad += not ok
                row.append(("" if ok else "!") + "%02x%02x%02x" % p + ("w" if inside else "-"))
            print("  " + " ".join(f"{c:>8}" for c in row))
    print("(w: inside the region, -: outside; ! marks a pixel that shows the wrong side)")
    return 1 if bad else 0


def above(scene, pid, surface):
    mine = [v for v in views(scene) if v[2] == pid]
    for v in mine:
        print(f"  layer {v[0]} surface {v[1]}{' (main window)' if v[1] == surface else ''}"
              f" at ({v[3]}, {v[4]}) -> ({v[5]}, {v[6]})")
    main_at = [i for i, v in enumerate(mine) if v[1] == surface]
    if not main_at:
        print("above: the main window is not in the scene graph")
        return 1
    layer = mine[main_at[0]][0]
    return 0 if any(v[0] == layer for v in mine[:main_at[0]]) else 1


def in_layer(scene, surface, layer):
    view = find(scene, surface)
    where = "out of the scene graph" if view is None else f"in layer {view[0]}"
    print(f"  the main window is {where}")
    return view is not None and view[0] == layer


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "main":
        sys.exit(main(args[0], int(args[1])))
    if command == "corners":
        sys.exit(corners(args[0], args[1], int(args[2]), int(args[3]), int(args[4])))
    if command == "above":
        sys.exit(above(args[0], int(args[1]), int(args[2])))
    if command == "position":
        view = find(args[0], int(args[1]))
        if view is None:
            sys.exit("position: the main window is not in the scene graph")
        print(view[3], view[4])
        sys.exit(0)
    if command == "mapped":
        sys.exit(0 if in_layer(args[0], int(args[1]), args[2]) else 1)
    if command == "hidden":
        sys.exit(1 if in_layer(args[0], int(args[1]), args[2]) else 0)
    sys.exit(f"unknown command {command}")
