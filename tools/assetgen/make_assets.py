"""Generates the game's data set into assets/.

Usage: python3 tools/assetgen/make_assets.py [group ...]
Groups: sheets, sounds, pictures, music, icons (default: all). Output is deterministic.
"""

import os
import sys
import time

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
ROOT = os.path.dirname(os.path.dirname(HERE))
ASSETS = os.path.join(ROOT, "assets")


def out(rel):
    path = os.path.join(ASSETS, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def make_sheets():
    import fonts
    import ui
    fonts.make_retro_font(out("ui_gfx/retro_font.png"))
    fonts.make_overlay_font(out("ui_gfx/c64_font.png"))
    ui.make_ui_window(out("ui_gfx/ui_window.png"))
    ui.make_dynamic_button(out("ui_gfx/ui_dynamic_button.png"))
    ui.make_map_button(out("ui_gfx/map_button.png"))
    ui.make_nonoblocks(out("game/nonoblocks.png"))
    ui.make_logo_head(out("ui_gfx/logo_head.png"))
    ui.make_logo_words(out("ui_gfx/logo_words.png"))


def make_sounds():
    import sfx
    sfx.make_all(out)


def make_pictures():
    import pictures
    pictures.make_title(out("game/start_screen.png"))
    pictures.make_map(out("game/map.png"))


def make_music():
    import music
    music.make_title_song(out("audio/gamejam_title.wav"))
    music.make_board_song(out("audio/gamejam_final.wav"))


def make_icons():
    import icon
    icon.make_icons(out)


GROUPS = {"sheets": make_sheets, "sounds": make_sounds, "pictures": make_pictures,
          "music": make_music, "icons": make_icons}


def main():
    names = sys.argv[1:] or list(GROUPS)
    for name in names:
        t = time.time()
        GROUPS[name]()
        print("%-8s %.1f s" % (name, time.time() - t))


if __name__ == "__main__":
    main()
