# Finds the white facade in a corrected picture and reports its aspect and
# the tilt of its vertical and horizontal edges.
import math, subprocess, sys
data = subprocess.run(["convert", sys.argv[1], "-colorspace", "gray", "-depth", "8", "pgm:-"], capture_output=True, check=True).stdout
parts = data.split(b"\n", 3)
w, h = map(int, parts[1].split()); pix = parts[3]
mask = lambda x, y: pix[y * w + x] > 200
# edge points: for each row the leftmost/rightmost facade pixel, for each column top/bottom
rows = {}; cols = {}
for y in range(0, h, 2):
    row = pix[y * w:(y + 1) * w]
    xs = [x for x in range(0, w) if row[x] > 200]
    if len(xs) > 20: rows[y] = (xs[0], xs[-1])
for x in range(0, w, 2):
    ys = [y for y in range(0, h) if pix[y * w + x] > 200]
    if len(ys) > 20: cols[x] = (ys[0], ys[-1])
def fit(pairs):   # least squares a*t + b
    n = len(pairs); st = sum(t for t, _ in pairs); sv = sum(v for _, v in pairs)
    stt = sum(t * t for t, _ in pairs); stv = sum(t * v for t, v in pairs)
    a = (n * stv - st * sv) / (n * stt - st * st); return a, (sv - a * st) / n
ys = sorted(rows); y0, y1 = ys[0], ys[-1]; m = (y1 - y0) * 0.1
left = fit([(y, rows[y][0]) for y in ys if y0 + m < y < y1 - m]); right = fit([(y, rows[y][1]) for y in ys if y0 + m < y < y1 - m])
xs = sorted(cols); x0, x1 = xs[0], xs[-1]; m = (x1 - x0) * 0.1
top = fit([(x, cols[x][0]) for x in xs if x0 + m < x < x1 - m]); bottom = fit([(x, cols[x][1]) for x in xs if x0 + m < x < x1 - m])
# corners: intersections of x = a y + b (sides) and y = c x + d (top/bottom)
def meet(side, tb):
    a, b = side; c, d = tb; y = (c * b + d) / (1 - c * a); return a * y + b, y
for _ in range(3):
    lt, lb, rb, rt = meet(left, top), meet(left, bottom), meet(right, bottom), meet(right, top)
    ya, yb = max(lt[1], rt[1]), min(lb[1], rb[1]); m = (yb - ya) * 0.05
    xa, xb = max(lt[0], lb[0]), min(rt[0], rb[0]); n = (xb - xa) * 0.05
    sel = [y for y in ys if ya + m < y < yb - m]; left = fit([(y, rows[y][0]) for y in sel]); right = fit([(y, rows[y][1]) for y in sel])
    sel = [x for x in xs if xa + n < x < xb - n]; top = fit([(x, cols[x][0]) for x in sel]); bottom = fit([(x, cols[x][1]) for x in sel])
lt, lb, rb, rt = meet(left, top), meet(left, bottom), meet(right, bottom), meet(right, top)
width = (math.dist(lt, rt) + math.dist(lb, rb)) / 2; height = (math.dist(lt, lb) + math.dist(rt, rb)) / 2
print(f"aspect w/h {width/height:.4f}  left tilt {math.degrees(math.atan(left[0])):.3f} deg  right tilt {math.degrees(math.atan(right[0])):.3f} deg"
      f"  top slope {math.degrees(math.atan(top[0])):.3f} deg  bottom slope {math.degrees(math.atan(bottom[0])):.3f} deg")
