#!/usr/bin/python3
"""Draws the test images of the layered window tests into this folder (run with Debian's python3)."""
import os
import random

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))

# The test skin: a 300x200 rounded orange plate with per-pixel alpha. The corners are fully
# transparent, the body opaque, and a disc in the lower right half transparent.
skin = Image.new("RGBA", (300, 200), (0, 0, 0, 0))
d = ImageDraw.Draw(skin)
d.rounded_rectangle((0, 0, 299, 199), radius=48, fill=(224, 112, 32, 255))
d.ellipse((220, 130, 280, 190), fill=(32, 64, 224, 128))
skin.save(os.path.join(HERE, "test_skin.png"))

# Incompressible pixels, so that each load of this resource copies a sizeable block.
rng = random.Random(20240607)
noise = Image.frombytes("RGBA", (192, 192), bytes(rng.getrandbits(8) for _ in range(192 * 192 * 4)))
noise.save(os.path.join(HERE, "test_noise.png"), compress_level=0)

# A 40x30 bitmap: blue with a red 10x10 square in its top-left corner.
bmp = Image.new("RGB", (40, 30), (0, 0, 200))
ImageDraw.Draw(bmp).rectangle((0, 0, 9, 9), fill=(200, 0, 0))
bmp.save(os.path.join(HERE, "test_bitmap.bmp"))

# A small green PNG, stored under a resource type named "BITMAP".
Image.new("RGBA", (24, 18), (0, 160, 0, 255)).save(os.path.join(HERE, "test_named_type.png"))
