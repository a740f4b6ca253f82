#!/usr/bin/env python3
"""Draws the eight category images as 32x32 XPM files (the program icon is data/icons/kavelmark.svg).

Run from this folder; the XPM files are committed, so the build needs no Python."""

# 5x7 glyphs, one string per row, "#" = ink.
GLYPHS = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "#": [".#.#.", "#####", ".#.#.", ".#.#.", ".#.#.", "#####", ".#.#."],
    "?": [".###.", "#...#", "....#", "..##.", "..#..", ".....", "..#.."],
    "~": [".....", ".....", ".##..", "#..#.", "....#", ".....", "....."],
    "-": [".....", ".....", ".....", "#####", ".....", ".....", "....."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
}

# name, background, frame, glyph
IMAGES = [
    ("category_telnet", "#2E3440", "#88C0D0", "T"),
    ("category_database", "#B5651D", "#FFE0B0", "D"),
    ("category_unused", "#808080", "#D0D0D0", "-"),
    ("category_dialup", "#1F6F3F", "#A8E6B8", "~"),
    ("category_ftp", "#1E4FA0", "#B8D0FF", "F"),
    ("category_website", "#7A1FA0", "#E6C0FF", "W"),
    ("category_pintan", "#A01E2E", "#FFC0C8", "#"),
    ("category_hmm", "#C8A000", "#FFF4B0", "?"),
]


def draw(background, frame, glyph):
    grid = [["." for _ in range(32)] for _ in range(32)]
    for y in range(1, 31):
        for x in range(1, 31):
            corner = (x in (1, 30)) and (y in (1, 30))
            if corner:
                continue
            edge = x in (1, 2, 29, 30) or y in (1, 2, 29, 30)
            grid[y][x] = "f" if edge else "b"
    rows = GLYPHS[glyph]
    scale = 3
    left = (32 - 5 * scale) // 2
    top = (32 - 7 * scale) // 2
    for gy, row in enumerate(rows):
        for gx, cell in enumerate(row):
            if cell == "#":
                for dy in range(scale):
                    for dx in range(scale):
                        grid[top + gy * scale + dy][left + gx * scale + dx] = "f"
    lines = ["".join(r) for r in grid]
    colours = {".": "None", "b": background, "f": frame}
    return lines, colours


def write_xpm(name, lines, colours):
    out = ["/* XPM */", f"static const char *{name}[] = {{", f'"32 32 {len(colours)} 1",']
    for key, value in colours.items():
        out.append(f'"{key} c {value}",')
    out += [f'"{line}",' for line in lines[:-1]]
    out.append(f'"{lines[-1]}"')
    out.append("};")
    with open(f"{name}.xpm", "w", encoding="ascii") as f:
        f.write("\n".join(out) + "\n")


for image_name, bg, fg, glyph_name in IMAGES:
    write_xpm(image_name, *draw(bg, fg, glyph_name))
