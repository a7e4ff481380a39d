// The desktop icon: a bending tunnel of rings in the game's colours, written once as SVG text and
// rendered from the same shapes into PNGs of the usual icon sizes.
#include "media.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Disc {
    double x, y, radius;
    int red, green, blue;
};

// The tile is a rounded square on a 256-unit canvas.
const double TileLeft = 8, TileSize = 240, TileRadius = 44;

// Painted in order, later discs over earlier ones, like the game paints its walls far to near
// but seen the other way round: each hole shows the next wall deeper in.
std::vector<Disc> iconShapes() {
    const int light[5][3] = {
        {250, 214, 182}, {186, 230, 252}, {216, 250, 190}, {248, 198, 238}, {240, 236, 182}};
    std::vector<Disc> discs;
    // The whole tile first: the nearest wall.
    discs.push_back({128, 128, 400, light[0][0], light[0][1], light[0][2]});
    double x = 116, y = 140, radius = 108, heading = -0.5;
    for (int k = 0; k < 9; ++k) {
        bool black = k % 2 == 0;
        const int* c = light[(k / 2 + 1) % 5];
        discs.push_back({x, y, radius, black ? 0 : c[0], black ? 0 : c[1], black ? 0 : c[2]});
        // Each hole sits off the last one's centre, turning as it goes: the tunnel bends.
        x += 0.19 * radius * std::cos(heading);
        y += 0.19 * radius * std::sin(heading);
        heading -= 0.24;
        radius *= 0.76;
    }
    // Two enemies riding light walls, each in the middle of its wall's widest side: a purple
    // disc in a black rim. Wall k lies between disc k and the next, deeper one.
    const double riders[2][2] = {{2, 2.5}, {4, 2.3}};
    for (const auto& rider : riders) {
        const Disc& outer = discs[static_cast<size_t>(rider[0])];
        const Disc& inner = discs[static_cast<size_t>(rider[0]) + 1];
        double ux = std::cos(rider[1]), uy = std::sin(rider[1]);
        // Distance along the ray from the inner centre to the outer circle.
        double ox = inner.x - outer.x, oy = inner.y - outer.y;
        double b = ox * ux + oy * uy;
        double reach = -b + std::sqrt(b * b - (ox * ox + oy * oy - outer.radius * outer.radius));
        double along = (inner.radius + reach) / 2, size = (reach - inner.radius) * 0.32;
        double ex = inner.x + ux * along, ey = inner.y + uy * along;
        discs.push_back({ex, ey, size, 0, 0, 0});
        discs.push_back({ex, ey, size * 0.72, 150, 100, 200});
    }
    return discs;
}

bool inTile(double px, double py) {
    double c = TileLeft + TileSize / 2, h = TileSize / 2 - TileRadius;
    double qx = std::fabs(px - c) - h, qy = std::fabs(py - c) - h;
    double ox = qx > 0 ? qx : 0, oy = qy > 0 ? qy : 0;
    return std::hypot(ox, oy) + std::fmin(std::fmax(qx, qy), 0.0) <= TileRadius;
}

std::string svgText(const std::vector<Disc>& discs) {
    std::string svg;
    char line[256];
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
           "viewBox=\"0 0 256 256\">\n  <title>Glimm</title>\n  <defs>\n";
    std::snprintf(line, sizeof line,
                  "    <clipPath id=\"tile\"><rect x=\"%g\" y=\"%g\" width=\"%g\" height=\"%g\" "
                  "rx=\"%g\"/></clipPath>\n",
                  TileLeft, TileLeft, TileSize, TileSize, TileRadius);
    svg += line;
    svg += "  </defs>\n  <g clip-path=\"url(#tile)\">\n";
    for (const Disc& d : discs) {
        std::snprintf(line, sizeof line,
                      "    <circle cx=\"%.2f\" cy=\"%.2f\" r=\"%.2f\" fill=\"#%02x%02x%02x\"/>\n",
                      d.x, d.y, d.radius, d.red, d.green, d.blue);
        svg += line;
    }
    svg += "  </g>\n</svg>\n";
    return svg;
}

Picture renderIcon(const std::vector<Disc>& discs, int size) {
    Picture picture = makePicture(size, size);
    const int samples = 8;
    double unit = 256.0 / size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0;
            int covered = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    double px = (x + (sx + 0.5) / samples) * unit;
                    double py = (y + (sy + 0.5) / samples) * unit;
                    if (!inTile(px, py)) {
                        continue;
                    }
                    const Disc* top = &discs[0];
                    for (const Disc& d : discs) {
                        if (std::hypot(px - d.x, py - d.y) <= d.radius) {
                            top = &d;
                        }
                    }
                    r += top->red;
                    g += top->green;
                    b += top->blue;
                    ++covered;
                }
            }
            if (covered > 0) {
                setPixel(picture, x, y,
                         {static_cast<float>(r / covered / 255),
                          static_cast<float>(g / covered / 255),
                          static_cast<float>(b / covered / 255),
                          static_cast<float>(covered) / (samples * samples)});
            }
        }
    }
    return picture;
}

} // namespace

void makeIcons(const std::string& root) {
    std::vector<Disc> discs = iconShapes();
    makeFolders(root + "/packaging/icons");
    writeText(root + "/packaging/icons/glimm.svg", svgText(discs));
    for (int size : {16, 32, 48, 64, 128, 192, 256, 512}) {
        std::string folder =
            root + "/packaging/icons/" + std::to_string(size) + "x" + std::to_string(size);
        makeFolders(folder);
        writePng(folder + "/glimm.png", renderIcon(discs, size), true);
    }
}
