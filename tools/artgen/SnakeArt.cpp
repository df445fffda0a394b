// The snake sheet: body, growth and bulge pictures in the first column and
// the heads in three mouth states, in 20x20 cells.
#include "tools/artgen/ArtPainters.h"

#include <algorithm>

namespace {

float superDistance(float a, float b, float p) {
    return std::pow(std::pow(std::abs(a), p) + std::pow(std::abs(b), p), 1 / p);
}

// The pattern on the snake's back at normalised offset (a, b) from the
// middle of a segment; returns the blend towards the marking colour.
float marking(SnakeMarking pattern, float a, float b, float d) {
    switch (pattern) {
    case SnakeMarking::Bands:
        return d > 0.28f && d < 0.52f ? 1 : 0;
    case SnakeMarking::Spots:
        return d < 0.38f ? 1 : 0;
    case SnakeMarking::Diamond:
        if (std::abs(a) + std::abs(b) < 0.22f)
            return 0;
        return std::abs(a) + std::abs(b) < 0.55f ? 1 : 0;
    case SnakeMarking::Ring:
        return d > 0.55f && d < 0.75f ? 1 : 0;
    case SnakeMarking::Glow:
        return std::max(0.0f, 1 - d * 1.6f);
    }
    return 0;
}

struct Frame {
    float fx, fy; // forward
    float sx, sy; // sideways
};

Frame frameOf(int direction) {
    switch (direction) {
    case 0:
        return {0, -1, 1, 0};
    case 1:
        return {1, 0, 0, 1};
    case 2:
        return {0, 1, -1, 0};
    default:
        return {-1, 0, 0, -1};
    }
}

} // namespace

void paintSnakeBody(Canvas& canvas, float ox, float oy, float s, const SnakeStyle& snake,
                    float radius, float bulge, bool hard) {
    const float r = radius + bulge * 1.45f;
    const Colour body = lighter(snake.body, bulge * 0.18f);
    paintCell(
        canvas, ox, oy, s,
        [&](float u, float v) {
            const float a = (u - 10) / r, b = (v - 10) / r;
            const float d = superDistance(a, b, 2.5f);
            if (d > 1)
                return kNoInk;
            const float len = std::sqrt(a * a + b * b);
            const float nx = len > 0 ? a / len * d : 0, ny = len > 0 ? b / len * d : 0;
            const float m = marking(snake.pattern, a, b, d);
            Colour c = mix(body, snake.marking, m * 0.6f);
            c = shadeNormal(c, nx, ny, std::sqrt(std::max(0.0f, 1 - d * d)), 0.7f);
            if (d > 1 - 1.3f / r)
                c = darker(snake.body, 0.6f);
            return ink(c);
        },
        hard);
}

void paintSnakeHead(Canvas& canvas, float ox, float oy, float s, const SnakeStyle& snake,
                    int direction, int mouth, bool hard) {
    const Frame fr = frameOf(direction);
    const Colour skin = lighter(snake.body, 0.08f);
    const Colour outline = darker(snake.body, 0.6f);
    paintCell(
        canvas, ox, oy, s,
        [&](float u, float v) {
            const float du = u - 10, dv = v - 10;
            const float f = du * fr.fx + dv * fr.fy, q = du * fr.sx + dv * fr.sy;
            // Forked tongue in front of the snout.
            if (mouth == 1 && f > 6.5f && f < 10) {
                const bool stem = std::abs(q) < 0.5f && f < 8.6f;
                const bool fork =
                    f >= 8.2f && segmentDistance(f, std::abs(q), 8.2f, 0, 9.9f, 1.5f) < 0.5f;
                if (stem || fork)
                    return ink(hex(0xe02040));
            }
            // The head narrows towards the snout.
            const float ef = (f + 0.5f) / 9.2f, eq = q / (8.7f - std::max(0.0f, f) * 0.42f);
            const float d = superDistance(ef, eq, 2.3f);
            if (d > 1)
                return kNoInk;
            // Wide open mouth: a dark wedge at the snout with a tongue.
            if (mouth == 2 && f > 2.2f && std::abs(q) < (f - 2.2f) * 1.2f) {
                if (std::abs(q) > (f - 2.2f) * 1.2f - 0.9f)
                    return ink(hex(0xfaf5e6)); // teeth along the jaws
                if (std::abs(q) < 1.0f && f > 4.5f)
                    return ink(hex(0xe85a78));
                return ink(hex(0x6a0c1c));
            }
            // Eyes with slit pupils, bigger when surprised.
            const float er = mouth == 2 ? 2.7f : 2.2f;
            for (int side = -1; side <= 1; side += 2) {
                const float ef2 = f - 1.2f, eq2 = q - side * 4.3f;
                const float e2 = ef2 * ef2 + eq2 * eq2;
                if (e2 > er * er)
                    continue;
                // Highlight towards the light, in screen space.
                const float sxp = ef2 * fr.fx + eq2 * fr.sx, syp = ef2 * fr.fy + eq2 * fr.sy;
                if ((sxp + 0.8f) * (sxp + 0.8f) + (syp + 0.8f) * (syp + 0.8f) < 0.5f)
                    return ink(hex(0xffffff));
                if (std::abs(eq2) < 0.45f && std::abs(ef2 - 0.3f) < er * 0.6f)
                    return ink(hex(0x101010));
                if ((ef2 - 0.3f) * (ef2 - 0.3f) + eq2 * eq2 < er * er * 0.45f)
                    return ink(snake.eye);
                if (e2 > (er - 0.6f) * (er - 0.6f))
                    return ink(outline);
                return ink(hex(0xf4f4ec));
            }
            // Nostrils and the line of the shut mouth.
            for (int side = -1; side <= 1; side += 2) {
                const float nf = f - 6.0f, nq = q - side * 1.7f;
                if (nf * nf + nq * nq < 0.36f)
                    return ink(outline);
            }
            if (mouth == 0 && std::abs(f - (6.9f - 0.12f * q * q)) < 0.45f && std::abs(q) < 3.6f)
                return ink(outline);
            if (d > 1 - 1.3f / 8.2f)
                return ink(outline);
            const float len = std::sqrt(ef * ef + eq * eq);
            const float nf = len > 0 ? ef / len * d : 0, nq = len > 0 ? eq / len * d : 0;
            const float nx = nf * fr.fx + nq * fr.sx, ny = nf * fr.fy + nq * fr.sy;
            Colour c = skin;
            if (snake.pattern == SnakeMarking::Glow)
                c = mix(c, snake.marking, std::max(0.0f, 0.8f - d * 1.2f));
            return ink(shadeNormal(c, nx, ny, std::sqrt(std::max(0.0f, 1 - d * d)), 0.7f));
        },
        hard);
}

RgbImage makeSnakeSheet(const SnakeStyle& snake, Rgb key) {
    Canvas canvas(100, 80, toColour(key));
    const float radii[4] = {8.5f, 7.2f, 5.7f, 4.2f};
    for (int i = 0; i < 4; ++i)
        paintSnakeBody(canvas, 0, 20.0f * i, 20, snake, radii[i], 0, true);
    for (int frame = 0; frame < 4; ++frame)
        paintSnakeBody(canvas, 20.0f + 20 * frame, 40, 20, snake, radii[0], (frame + 1) / 4.0f,
                       true);
    const int mouthRows[3] = {0, 20, 60};
    for (int mouth = 0; mouth < 3; ++mouth)
        for (int direction = 0; direction < 4; ++direction)
            paintSnakeHead(canvas, 20.0f + 20 * direction, static_cast<float>(mouthRows[mouth]), 20,
                           snake, direction, mouth, true);
    return canvas.toKeyedImage(key);
}
