# Renders a facade (a white rectangle of known aspect with dark windows) seen
# by a camera pitched (and optionally yawed) by given angles, with the focal
# length in the picture's EXIF; prints the facade's corners in pixels, in the
# order LeftTop, LeftBottom, RightBottom, RightTop.
import math, subprocess, sys
W, H = 3000, 2000
focal35 = float(sys.argv[1]); pitch = math.radians(float(sys.argv[2])); yaw = math.radians(float(sys.argv[3]))
fw, fh = float(sys.argv[4]), float(sys.argv[5])   # facade width, height (metres)
out = sys.argv[6]
f = focal35 / 43.2666153 * math.hypot(W, H)
D = 20.0
def project(X, Y, Z):
    # yaw about the vertical axis, then pitch about the horizontal one
    x = X * math.cos(yaw) - Z * math.sin(yaw); z = X * math.sin(yaw) + Z * math.cos(yaw); y = Y
    y2 = y * math.cos(pitch) - z * math.sin(pitch); z2 = y * math.sin(pitch) + z * math.cos(pitch)
    return (W / 2 + f * x / z2, H / 2 - f * y2 / z2)
cy = D * math.tan(pitch)   # facade centred on the optical axis
corners3 = [(-fw/2, cy + fh/2), (-fw/2, cy - fh/2), (fw/2, cy - fh/2), (fw/2, cy + fh/2)]
pts = [project(X, Y, D) for X, Y in corners3]
tw, th = 1000, int(1000 * fh / fw)
draw = []
for i in range(4):
    for j in range(6):
        x0 = 80 + i * (tw - 160) / 4; y0 = 80 + j * (th - 160) / 6
        draw.append(f"rectangle {x0+30:.0f},{y0+30:.0f} {x0+(tw-160)/4-30:.0f},{y0+(th-160)/6-30:.0f}")
subprocess.run(["convert", "-size", f"{tw}x{th}", "xc:white", "-fill", "#404040"] + sum([["-draw", d] for d in draw], []) +
               ["facade.png"], check=True)
src = [(0, 0), (0, th), (tw, th), (tw, 0)]
args = " ".join(f"{s[0]},{s[1]} {p[0]:.3f},{p[1]:.3f}" for s, p in zip(src, pts))
subprocess.run(["convert", "facade.png", "-alpha", "set", "-virtual-pixel", "transparent",
                "-define", f"distort:viewport={W}x{H}+0+0", "-distort", "Perspective", args,
                "-background", "#102030", "-flatten", "-quality", "95", out], check=True)
subprocess.run(["exiv2", "-M", "set Exif.Photo.FocalLengthIn35mmFilm Short %d" % round(focal35),
                "-M", "set Exif.Photo.FocalLength Rational %d/1" % round(focal35), "-M", "set Exif.Image.Make Synthetic",
                "-M", "set Exif.Image.Model Facade", out], check=True)
print(" ".join(f"{x:.2f},{y:.2f}" for x, y in pts))
