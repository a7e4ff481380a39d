// The dashboard's images: the font sheet, the button pieces, the window border, the header and
// footer band and the pointer sheet, all drawn from distances and coverage, never from files.
#include "media.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <stb_truetype.h>

namespace {

// The game's own colours: dark ink for text, the enemies' purple, and the key that SDL drops.
const Colour Ink = {24 / 255.0f, 18 / 255.0f, 40 / 255.0f, 1};
const Colour Purple = {150 / 255.0f, 100 / 255.0f, 200 / 255.0f, 1};
const Colour Cyan = {0, 1, 1, 1};

Colour rgb(int r, int g, int b, float a = 1) {
    auto unit = [](int v) { return static_cast<float>(v) / 255; };
    return {unit(r), unit(g), unit(b), a};
}

Colour withAlpha(Colour c, float a) {
    return {c.r, c.g, c.b, a};
}

// Signed distance from (px, py) to a rounded rectangle; negative inside.
float roundRectDistance(float px, float py, float left, float top, float right, float bottom,
                        float radius) {
    float cx = (left + right) / 2, cy = (top + bottom) / 2;
    float hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
    float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float segmentDistance(float px, float py, float ax, float ay, float bx, float by) {
    float dx = bx - ax, dy = by - ay;
    float t = clamp01(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy));
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        std::fprintf(stderr, "make_media: cannot read font %s\n", path.c_str());
        std::exit(1);
    }
    return bytes;
}

// Button frame as one 342 x 57 picture; its middle columns depend on y alone, so the edge and fill
// pieces repeat without seams.
Colour buttonFramePixel(float px, float py, bool lit) {
    const float left = 4, top = 6, right = 338, bottom = 51, radius = 12;
    float d = roundRectDistance(px, py, left, top, right, bottom, radius);
    float v = clamp01((py - top) / (bottom - top));
    Colour result = {0, 0, 0, 0};

    // Soft shadow under the button, or a purple glow around it when lit.
    if (lit) {
        float glow = d > 0 ? 0.75f * std::exp(-d / 1.6f) : 0.75f;
        result = withAlpha(rgb(190, 130, 255), glow);
    } else {
        float shadow = roundRectDistance(px, py - 1.5f, left, top, right, bottom, radius);
        result = withAlpha(Ink, 0.35f * (1 - smoothStep(-1.5f, 2.5f, shadow)));
    }

    // Body: a pale glassy gradient with a brighter upper half, dark enough ink reads on both looks.
    Colour bodyTop = lit ? rgb(255, 253, 240) : rgb(236, 232, 248);
    Colour bodyBottom = lit ? rgb(250, 222, 150) : rgb(198, 190, 224);
    Colour body = mix(bodyTop, bodyBottom, v);
    if (v < 0.45f) {
        body = mix(body, rgb(255, 255, 255), lit ? 0.35f : 0.25f);
    }
    // A thin highlight just inside the rim along the top.
    float innerLine = clamp01(1 - std::fabs(d + 3.2f)) * clamp01(1.4f - 2 * v);
    body = mix(body, rgb(255, 255, 255), 0.8f * innerLine);

    Colour rim = lit ? rgb(120, 60, 190) : rgb(52, 40, 84);
    float rimAmount = smoothStep(-2.9f, -2.1f, d); // 0 in the body, 1 on the rim
    Colour inside = mix(body, rim, rimAmount);
    float coverage = clamp01(0.5f - d);
    // Lay the button over the shadow or glow.
    float a = coverage + result.a * (1 - coverage);
    if (a <= 0) {
        return {0, 0, 0, 0};
    }
    auto over = [&](float top, float under) {
        return (top * coverage + under * result.a * (1 - coverage)) / a;
    };
    return {over(inside.r, result.r), over(inside.g, result.g), over(inside.b, result.b), a};
}

// Distance in whole pixels (up to limit) from an inside pixel to the nearest outside one.
template <typename Shape> int edgeDistance(Shape inShape, int x, int y, int limit) {
    for (int r = 1; r <= limit; ++r) {
        for (int dy = -r; dy <= r; ++dy) {
            for (int dx = -r; dx <= r; ++dx) {
                if (std::max(std::abs(dx), std::abs(dy)) == r && !inShape(x + dx, y + dy)) {
                    return r;
                }
            }
        }
    }
    return limit + 1;
}

// The pale band of the header and footer; depth counts pixels in from the band's inner edge.
Colour bandColour(int depth, float across) {
    if (depth == 1) {
        return Ink;
    }
    if (depth <= 3) {
        return Purple;
    }
    if (depth == 4) {
        return rgb(200, 170, 235);
    }
    Colour c = mix(rgb(240, 236, 250), rgb(214, 206, 238), across);
    return c;
}

} // namespace

void makeFont(const std::string& root, const std::string& fontPath) {
    std::vector<unsigned char> data = readFile(fontPath);
    stbtt_fontinfo font;
    if (!stbtt_InitFont(&font, data.data(), stbtt_GetFontOffsetForIndex(data.data(), 0))) {
        std::fprintf(stderr, "make_media: %s is not a TrueType font\n", fontPath.c_str());
        std::exit(1);
    }
    // Scale the font so its advance is exactly the game's 11 pixels; the pen starts at column 2.
    int advance = 0, bearing = 0;
    stbtt_GetCodepointHMetrics(&font, 'M', &advance, &bearing);
    const float scale = 11.0f / static_cast<float>(advance);
    const int penX = 2, cellW = 15, cellH = 21;

    // Baseline: low enough for every ascender, high enough for the descenders of g, j, p, q, y.
    int top = 0, bottom = 0;
    for (int c = 33; c <= 126; ++c) {
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBox(&font, c, scale, scale, &x0, &y0, &x1, &y1);
        top = std::min(top, y0);
        if (c != '|' && c != '_') {
            bottom = std::max(bottom, y1);
        }
    }
    const int baseline = std::min(-top, cellH - bottom);
    std::printf("font: scale %.4f, rows %d..%d above/below baseline, baseline at row %d\n", scale,
                top, bottom, baseline);

    Picture sheet = makePicture(cellW * 95, cellH);
    for (int c = 33; c <= 126; ++c) {
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBox(&font, c, scale, scale, &x0, &y0, &x1, &y1);
        int w = x1 - x0, h = y1 - y0;
        if (w <= 0 || h <= 0) {
            continue;
        }
        std::vector<unsigned char> coverage(static_cast<size_t>(w) * h);
        stbtt_MakeCodepointBitmap(&font, coverage.data(), w, h, w, scale, scale, c);
        int cellX = (c - 32) * cellW;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int gx = penX + x0 + x, gy = baseline + y0 + y;
                if (gx < 0 || gx >= cellW || gy < 0 || gy >= cellH) {
                    continue; // clipped to its own cell so it never bleeds into a neighbour
                }
                float a = static_cast<float>(coverage[static_cast<size_t>(y) * w + x]) / 255;
                // A touch of extra weight keeps thin anti-aliased strokes dark on pale ground.
                a = std::pow(a, 0.8f);
                setPixel(sheet, cellX + gx, gy, withAlpha(Ink, a));
            }
        }
    }
    writePng(root + "/Media/Lumadeck/Font.png", sheet, true);
}

void makeButton(const std::string& root) {
    // The pieces are cut from one whole 342 x 57 frame.
    const int piece = 21;
    Picture sheet = makePicture(piece * 9, piece * 2);
    // Where each column's piece is cut from the whole frame (x, y of its top-left corner).
    const int cutX[9] = {0, 0, 321, 321, 21, 321, 21, 0, 21};
    const int cutY[9] = {0, 36, 0, 36, 36, 21, 0, 21, 21};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 9; ++column) {
            for (int y = 0; y < piece; ++y) {
                for (int x = 0; x < piece; ++x) {
                    int fx = cutX[column] + x;
                    int fy = cutY[column] + y;
                    if (column == 5 || column == 7 || column == 8) {
                        fy = cutY[column] + std::min(y, 14); // only 15 rows are ever drawn
                    }
                    // 4 x 4 samples per pixel for clean curves at the corners.
                    Colour sum = {0, 0, 0, 0};
                    for (int sy = 0; sy < 4; ++sy) {
                        for (int sx = 0; sx < 4; ++sx) {
                            Colour c = buttonFramePixel(
                                static_cast<float>(fx) + (static_cast<float>(sx) + 0.5f) / 4,
                                static_cast<float>(fy) + (static_cast<float>(sy) + 0.5f) / 4,
                                row == 1);
                            sum.r += c.r * c.a;
                            sum.g += c.g * c.a;
                            sum.b += c.b * c.a;
                            sum.a += c.a;
                        }
                    }
                    Colour c = {0, 0, 0, sum.a / 16};
                    if (sum.a > 0) {
                        c = {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / 16};
                    }
                    setPixel(sheet, column * piece + x, row * piece + y, c);
                }
            }
        }
    }
    writePng(root + "/Media/Lumadeck/Button.png", sheet, true);
}

void makeBorder(const std::string& root) {
    const float edge = 10, radius = 18; // frame thickness and the inner corners' radius
    Picture border = makePicture(640, 480);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const float cx = static_cast<float>(x) + 0.5f, cy = static_cast<float>(y) + 0.5f;
            float d = roundRectDistance(cx, cy, edge, edge, 640 - edge, 480 - edge, radius);
            if (d < 0) {
                setPixel(border, x, y, Cyan);
                continue;
            }
            // Light falls from the top left: the inner bevel is bright along the top and left
            // edges, dim along the bottom and right, and turns smoothly round the corners.
            auto at = [&](float px, float py) {
                return roundRectDistance(px, py, edge, edge, 640 - edge, 480 - edge, radius);
            };
            float nx = at(cx + 1, cy) - at(cx - 1, cy);
            float ny = at(cx, cy + 1) - at(cx, cy - 1);
            float length = std::hypot(nx, ny);
            float facing = length > 0 ? -(nx * 0.6f + ny * 0.8f) / length : 0;
            float light = clamp01(0.5f - 0.5f * facing);
            float across = cy / 480;
            Colour c;
            if (d < 1) {
                c = rgb(14, 10, 24);
            } else if (d < 3) {
                c = mix(rgb(108, 66, 160), rgb(204, 168, 246), light);
            } else if (d < 4) {
                c = rgb(22, 16, 36);
            } else if (x == 0 || y == 0 || x == 639 || y == 479) {
                c = rgb(10, 8, 18);
            } else {
                c = mix(rgb(64, 54, 96), rgb(36, 30, 58), across);
                // A faint sheen line through the middle of the frame.
                if (d >= 6 && d < 7) {
                    c = mix(c, rgb(120, 104, 170), 0.6f);
                }
            }
            setPixel(border, x, y, c);
        }
    }
    writePng(root + "/Media/Lumadeck/Border.png", border, false);
}

void makeTopBottomBorder(const std::string& root) {
    // Rows 0..60 are the footer (screen rows 419..479 when open); rows 70..135 are the header
    // (screen rows 0..65 when open). The rows between are never on screen.
    const int height = 136;
    Picture band = makePicture(640, height);
    for (int i = 0; i < 640 * height; ++i) {
        setPixel(band, i % 640, i / 640, Cyan);
    }
    // Footer in screen rows: a full-width strip from 458 and a tab behind the web address on the
    // left, its right edge slanting down at 45 degrees. Rows past the window count as inside.
    auto inFooter = [](int x, int s) {
        if (s > 479 || x < 0 || x > 639) {
            return true;
        }
        if (s < 419) {
            return false;
        }
        return s >= 458 || (s >= 434 && x < 400 + (s - 434));
    };
    // Header in screen rows: a full-width strip down to row 22 and a tab behind the date and clock
    // on the right, its left edge slanting in at 45 degrees.
    auto inHeader = [](int x, int s) {
        if (s < 0 || x < 0 || x > 639) {
            return true;
        }
        if (s > 65) {
            return false;
        }
        return s <= 22 || (s <= 64 && x >= 270 - (64 - s));
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (y <= 60) {
                int s = y + 419;
                if (inFooter(x, s)) {
                    int depth = edgeDistance(inFooter, x, s, 5);
                    setPixel(band, x, y, bandColour(depth, static_cast<float>(s - 419) / 60));
                }
            } else if (y >= 70) {
                int s = y - 70;
                if (inHeader(x, s)) {
                    int depth = edgeDistance(inHeader, x, s, 5);
                    setPixel(band, x, y, bandColour(depth, static_cast<float>(s) / 65));
                }
            }
        }
    }
    writePng(root + "/Media/Lumadeck/TopBottomBorder.png", band, false);
}

void makeCursor(const std::string& root) {
    const int cell = 96;
    Picture sheet = makePicture(cell * 16, cell);
    for (int i = 0; i < 16; ++i) {
        // Cells 0..7 turn the crosshair in eighth steps of a quarter turn, cell 3 upright; cells
        // 8..15 repeat the turn with a purple glow, a firing look.
        float turn = static_cast<float>(((i % 8) - 3 + 8) % 8) * (3.14159265f / 2) / 8;
        bool firing = i >= 8;
        float cs = std::cos(turn), sn = std::sin(turn);
        for (int y = 0; y < cell; ++y) {
            for (int x = 0; x < cell; ++x) {
                float px = static_cast<float>(x) + 0.5f - 48,
                      py = static_cast<float>(y) + 0.5f - 48;
                float rx = px * cs + py * sn, ry = -px * sn + py * cs;
                float r = std::hypot(rx, ry);
                // White strokes: a ring, four ticks reaching out from it, a centre dot; the
                // middle stays open so the target shows through.
                float d = std::fabs(r - 10) - 1;
                d = std::min(d, segmentDistance(rx, ry, 10, 0, 21, 0) - 1);
                d = std::min(d, segmentDistance(rx, ry, -10, 0, -21, 0) - 1);
                d = std::min(d, segmentDistance(rx, ry, 0, 10, 0, 21) - 1);
                d = std::min(d, segmentDistance(rx, ry, 0, -10, 0, -21) - 1);
                d = std::min(d, r - 1.2f);
                float white = clamp01(0.5f - d);
                float outline = clamp01(0.5f - (d - 1.6f));
                Colour c = {0, 0, 0, 0};
                if (firing) {
                    c = withAlpha(rgb(200, 140, 255), 0.7f * std::exp(-std::max(d, 0.0f) / 2.5f));
                }
                Colour dark = withAlpha(Ink, 0.92f * outline);
                Colour light = withAlpha(firing ? rgb(255, 240, 255) : rgb(255, 255, 255), white);
                int gx = i * cell + x;
                setPixel(sheet, gx, y, c);
                blendPixel(sheet, gx, y, dark);
                blendPixel(sheet, gx, y, light);
            }
        }
    }
    writePng(root + "/Media/Lumadeck/Cursor.png", sheet, true);
}
