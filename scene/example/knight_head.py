#!/usr/bin/env python3
"""Writes boardshot_knight_head.inc: the carved head and neck of the knight
of boardshot_pieces.inc, as a POV-Ray mesh2 with smooth normals.

    scene/example/knight_head.py [OUTPUT] [STEP]

The head is a shape given by a signed distance (negative inside): the side
profile of a Staunton knight, rounded into a solid whose thickness narrows
from the neck to the muzzle, with cheeks, ears, eyes, nostrils, a mouth and a
ridged mane worked into it. The distance is sampled on a grid of STEP units
and turned into triangles by surface nets: one vertex in each grid cell the
surface passes through, pulled onto the surface, and two triangles across
each grid edge the surface cuts. The head looks along +x, y is up, and its
flat underside at y = 0.10 sits inside the knight's foot.
"""
import math
import os
import sys

# The side profile of head and neck, looking along +x, counter-clockwise
# from the front of the chest: throat, jaw, muzzle, nose, forehead, poll,
# the back of the neck.
OUTLINE = [
    (0.16, 0.10), (0.19, 0.18), (0.175, 0.27), (0.12, 0.34), (0.10, 0.39),
    (0.125, 0.425), (0.19, 0.41), (0.25, 0.39), (0.295, 0.395), (0.325, 0.425),
    (0.335, 0.47), (0.32, 0.515), (0.265, 0.585), (0.205, 0.665), (0.15, 0.735),
    (0.09, 0.79), (0.02, 0.81), (-0.05, 0.785), (-0.115, 0.715), (-0.165, 0.61),
    (-0.20, 0.47), (-0.215, 0.32), (-0.215, 0.20), (-0.20, 0.10)]
BOX = ((-0.27, 0.36), (0.08, 0.92), (-0.16, 0.16))


def profile_distance(px, py):
    """Distance from (px, py) to the profile's outline, positive inside."""
    nearest, inside = math.inf, False
    for (ax, ay), (bx, by) in zip(OUTLINE, OUTLINE[1:] + OUTLINE[:1]):
        dx, dy = bx - ax, by - ay
        t = min(1, max(0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
        nearest = min(nearest, math.hypot(ax + t * dx - px, ay + t * dy - py))
        if (ay > py) != (by > py) and px < ax + (py - ay) * dx / dy:
            inside = not inside
    return nearest if inside else -nearest


def smooth_min(a, b, k):
    h = max(k - abs(a - b), 0) / k
    return min(a, b) - h * h * k / 4


def smooth_max(a, b, k):
    return -smooth_min(-a, -b, k)


def smoothstep(low, high, v):
    t = min(1, max(0, (v - low) / (high - low)))
    return t * t * (3 - 2 * t)


def ball(x, y, z, cx, cy, cz, r):
    return math.sqrt((x - cx) ** 2 + (y - cy) ** 2 + (z - cz) ** 2) - r


def head(x, y, z):
    """The signed distance of the head, mirror-symmetric in z."""
    inside = profile_distance(x, y)
    # Half the thickness: the neck thickest, narrowing up and to the muzzle;
    # the sides round off over almost all of it.
    half = 0.12 - 0.03 * max(0, y - 0.40) / 0.4 - 0.03 * max(0, x - 0.12) / 0.2
    r = half * 0.95
    wx, wy = r - inside, abs(z) - half + r
    d = min(max(wx, wy), 0) + math.hypot(max(wx, 0), max(wy, 0)) - r
    z = abs(z)
    d = smooth_min(d, ball(x, y, z, 0.07, 0.53, 0.05, 0.085), 0.04)  # cheeks
    # ears, leaning back
    u, v = x - 0.045, y - 0.815
    ear = math.sqrt(((u + v * 0.35) / 0.028) ** 2 + (v / 0.075) ** 2
                    + ((z - 0.042) / 0.024) ** 2) - 1
    d = smooth_min(d, ear * 0.024, 0.02)
    d = smooth_max(d, -ball(x, y, z, 0.13, 0.675, 0.10, 0.03), 0.01)  # eye sockets
    d = smooth_min(d, ball(x, y, z, 0.13, 0.675, 0.083, 0.021), 0.005)  # eyes
    d = smooth_max(d, -ball(x, y, z, 0.305, 0.485, 0.062, 0.021), 0.01)  # nostrils
    mouth = max(abs((y - 0.425) - 0.45 * (x - 0.3)) - 0.006, 0.25 - x)
    d = smooth_max(d, -mouth, 0.008)
    if x < 0.02:
        # the mane: ridges across the back of the neck
        zone = (1 - smoothstep(0, 0.06, inside)) * smoothstep(0.2, 0.3, y) \
            * (1 - smoothstep(0, 0.02, x))
        d += 0.007 * zone * (0.5 + 0.5 * math.sin((y - 0.6 * x) * 70))
    return max(d, 0.10 - y)


def gradient(p, e=0.002):
    g = [head(*[c + (e if i == axis else 0) for i, c in enumerate(p)])
         - head(*[c - (e if i == axis else 0) for i, c in enumerate(p)]) for axis in range(3)]
    length = math.sqrt(sum(c * c for c in g)) or 1
    return [c / length for c in g]


def surface_nets(step):
    """(vertices, triangles) of the surface head() = 0, sampled every step."""
    counts = [int((high - low) / step) + 2 for low, high in BOX]
    point = lambda i, j, k: [BOX[0][0] + i * step, BOX[1][0] + j * step, BOX[2][0] + k * step]
    grid = {(i, j, k): head(*point(i, j, k)) for i in range(counts[0])
            for j in range(counts[1]) for k in range(counts[2])}
    corners = [(a, b, c) for a in (0, 1) for b in (0, 1) for c in (0, 1)]
    edges = [(p, q) for p in corners for q in corners
             if p < q and sum(abs(s - t) for s, t in zip(p, q)) == 1]
    vertices, cell_vertex = [], {}
    for cell in grid:
        if any(c == n - 1 for c, n in zip(cell, counts)):
            continue
        value = lambda corner: grid[tuple(c + o for c, o in zip(cell, corner))]
        crossings = []
        for p, q in edges:
            fp, fq = value(p), value(q)
            if (fp < 0) != (fq < 0):
                t = fp / (fp - fq)
                crossings.append([a + t * (b - a) for a, b in zip(p, q)])
        if crossings:
            mean = [sum(c[i] for c in crossings) / len(crossings) for i in range(3)]
            cell_vertex[cell] = len(vertices)
            vertices.append(point(*[c + m for c, m in zip(cell, mean)]))
    triangles = []
    for (i, j, k), here in grid.items():
        for axis in range(3):
            step_to = [i, j, k]
            step_to[axis] += 1
            there = grid.get(tuple(step_to))
            if there is None or (here < 0) == (there < 0):
                continue
            a, b = (axis + 1) % 3, (axis + 2) % 3
            ring = []
            for da, db in ((0, 0), (1, 0), (1, 1), (0, 1)):
                cell = [i, j, k]
                cell[a] -= da
                cell[b] -= db
                ring.append(cell_vertex.get(tuple(cell)))
            if None in ring:
                continue
            if here < 0:
                ring.reverse()
            triangles += [(ring[0], ring[1], ring[2]), (ring[0], ring[2], ring[3])]
    for v in vertices:  # pull each vertex onto the surface
        for _ in range(2):
            d, g = head(*v), gradient(v)
            v[:] = [c - d * n for c, n in zip(v, g)]
    return vertices, triangles


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "boardshot_knight_head.inc")
    step = float(sys.argv[2]) if len(sys.argv) > 2 else 0.018
    vertices, triangles = surface_nets(step)
    with open(out, "w") as f:
        f.write("// The knight's head and neck for boardshot_pieces.inc, written by\n"
                "// knight_head.py (%d vertices, %d triangles); change that, not this.\n"
                "#declare Boardshot_Knight_Head = mesh2 {\n" % (len(vertices), len(triangles)))
        f.write("  vertex_vectors { %d,\n" % len(vertices))
        f.write(",\n".join("<%.4f,%.4f,%.4f>" % tuple(v) for v in vertices))
        f.write("}\n  normal_vectors { %d,\n" % len(vertices))
        f.write(",\n".join("<%.3f,%.3f,%.3f>" % tuple(gradient(v)) for v in vertices))
        f.write("}\n  face_indices { %d,\n" % len(triangles))
        f.write(",\n".join("<%d,%d,%d>" % t for t in triangles))
        f.write("}\n}\n")


if __name__ == "__main__":
    main()
