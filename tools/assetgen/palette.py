"""The game's one palette: a moonlit graveyard in night blues, stone, moss, moonlight and ghost green."""

from pixel import rgb

INK = rgb(0x0B0A14)          # outlines, the darkest shade

NIGHT = [rgb(v) for v in (0x0B0A14, 0x15132A, 0x201D3F, 0x2E2A57, 0x403C72, 0x56558F)]
MIST = [rgb(v) for v in (0x7476AD, 0x9B9ECB, 0xC4C6E4)]
MOON = [rgb(v) for v in (0xF6F1D2, 0xE9DCA4, 0xCDB870, 0x9C8648)]
STONE = [rgb(v) for v in (0x2B2936, 0x45435A, 0x65637B, 0x8C89A0, 0xB5B2C5, 0xDCD9E6)]
GRASS = [rgb(v) for v in (0x0F1F1E, 0x17302B, 0x224637, 0x33624A, 0x4C8459, 0x74A866)]
EARTH = [rgb(v) for v in (0x24181C, 0x3D2A28, 0x5C4136, 0x7E5E48, 0xA3815E)]
GHOST = [rgb(v) for v in (0x1E6E57, 0x35A27A, 0x62D49E, 0xA8F4C9)]
PURPLE = [rgb(v) for v in (0x3A2660, 0x5B3B8E, 0x8659C0, 0xB48DE8)]
EMBER = [rgb(v) for v in (0x6E2A1A, 0xB0521F, 0xE58A2E, 0xF8C05A)]
BLOOD = [rgb(v) for v in (0x5A1525, 0x9A2A35, 0xD0484A)]
BONE = rgb(0xEDE6CF)
WHITE = rgb(0xFFFFFF)
PARCHMENT = rgb(0xE7E0C3)    # the splash screen's background
