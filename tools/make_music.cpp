// "Mirovanta", the game's music: a 64-second loop at 150 beats a minute in A minor, synthesised
// sample by sample (bass, pad, arpeggio, lead, drums) and encoded to Ogg Vorbis with fixed
// settings.
#include "media.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <vorbis/vorbisenc.h>

namespace {

const int Rate = 44100;
const int StepSamples = 4410; // a sixteenth note at 150 beats a minute, exactly
const int StepsPerBar = 16;
const int Bars = 40;
const long Length = static_cast<long>(Bars) * StepsPerBar * StepSamples; // 64 s
const double Pi = 3.14159265358979323846;

// Circular stereo buffers: whatever rings on past the end of the loop lands at its start, so the
// last sample leads straight into the first and the loop has no seam.
struct Bus {
    std::vector<float> left = std::vector<float>(Length, 0.0f);
    std::vector<float> right = std::vector<float>(Length, 0.0f);
};

struct Song {
    Bus dry;    // straight to the mix
    Bus ducked; // bass and pad: pumped by the kick
    Bus echo;   // send to the ping-pong echo
    Bus reverb; // send to the room
    std::vector<float> duck = std::vector<float>(Length, 1.0f);
};

void put(Bus& bus, long t, float value, float pan) {
    long i = ((t % Length) + Length) % Length;
    bus.left[i] += value * (1 - pan) * 0.5f;
    bus.right[i] += value * (1 + pan) * 0.5f;
}

// Plain 32-bit xorshift; every drum hit seeds its own, so the noise never depends on order.
struct Noise {
    uint32_t state;
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }
};

double midiHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12);
}

double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

double saw(double phase, double dt) {
    return 2 * phase - 1 - polyBlep(phase, dt);
}

double pulse(double phase, double dt, double duty) {
    double v = phase < duty ? 1 : -1;
    v += polyBlep(phase, dt);
    v -= polyBlep(std::fmod(phase + 1 - duty, 1.0), dt);
    return v;
}

// Zero-delay state-variable low-pass; stays stable while its cutoff sweeps.
struct LowPass {
    double ic1 = 0, ic2 = 0;
    double run(double x, double cutoff, double q) {
        double g = std::tan(Pi * std::min(cutoff, Rate * 0.45) / Rate), k = 1 / q;
        double a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2;
        double v3 = x - ic2;
        double v1 = a1 * ic1 + a2 * v3;
        double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        return v2;
    }
};

long stepTime(int bar, double step) {
    return static_cast<long>(bar) * StepsPerBar * StepSamples +
           static_cast<long>(step * StepSamples);
}

// Gate, then a short release; attack in seconds.
double envelope(double t, double gate, double attack, double release) {
    double level = t < attack ? t / attack : 1;
    if (t > gate) {
        level *= std::exp(-(t - gate) / release);
    }
    return level;
}

void bassNote(Song& song, long start, double steps, int note) {
    double gate = steps * StepSamples / Rate;
    double hz = midiHz(note), dt = hz / Rate;
    double phase = 0, squarePhase = 0.25;
    LowPass filter;
    long length = static_cast<long>((gate + 0.15) * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        double raw = saw(phase, dt) + 0.45 * pulse(squarePhase, dt, 0.5);
        phase = std::fmod(phase + dt, 1.0);
        squarePhase = std::fmod(squarePhase + dt, 1.0);
        double cutoff = 220 + 2200 * std::exp(-t / 0.07);
        double v = filter.run(raw, cutoff, 1.6) * envelope(t, gate, 0.003, 0.02);
        put(song.ducked, start + i, static_cast<float>(0.30 * v), 0);
    }
}

void padChord(Song& song, long start, double steps, const int* notes, double level) {
    double gate = steps * StepSamples / Rate;
    long length = static_cast<long>((gate + 1.2) * Rate);
    for (int n = 0; n < 4; ++n) {
        for (int side = 0; side < 2; ++side) {
            double hz = midiHz(notes[n] + (side ? 0.09 : -0.09));
            double dt = hz / Rate;
            double phase = 0.37 * n + 0.5 * side;
            LowPass filter;
            float pan = side ? 0.7f : -0.7f;
            for (long i = 0; i < length; ++i) {
                double t = static_cast<double>(i) / Rate;
                double raw = saw(phase, dt);
                phase = std::fmod(phase + dt, 1.0);
                double cutoff = 900 + 500 * std::sin(2 * Pi * 0.25 * t + n);
                double v = filter.run(raw, cutoff, 0.8) * envelope(t, gate, 0.35, 0.4);
                put(song.ducked, start + i, static_cast<float>(0.045 * level * v), pan);
                if (i % 2 == 0) {
                    put(song.reverb, start + i, static_cast<float>(0.03 * level * v), 0);
                }
            }
        }
    }
}

void arpNote(Song& song, long start, int note, float pan) {
    double hz = midiHz(note), dt = hz / Rate;
    double phase = 0;
    LowPass filter;
    long length = static_cast<long>(0.5 * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        double raw = pulse(phase, dt, 0.3);
        phase = std::fmod(phase + dt, 1.0);
        double level = std::min(1.0, t / 0.002) * std::exp(-t / 0.09);
        double v = filter.run(raw, 1200 + 3000 * std::exp(-t / 0.05), 1.2) * level;
        put(song.dry, start + i, static_cast<float>(0.085 * v), pan);
        put(song.echo, start + i, static_cast<float>(0.05 * v), pan);
    }
}

void leadNote(Song& song, long start, double steps, double note, double level, double space) {
    double gate = steps * StepSamples / Rate - 0.02;
    double phases[3] = {0, 0.33, 0.66};
    const double detune[3] = {-0.07, 0.07, 0};
    LowPass filter;
    long length = static_cast<long>((gate + 0.4) * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        // Vibrato eases in on held notes.
        double vibrato =
            0.22 * std::min(1.0, std::max(0.0, (t - 0.18) / 0.3)) * std::sin(2 * Pi * 5.5 * t);
        double raw = 0;
        for (int k = 0; k < 3; ++k) {
            double dt = midiHz(note + detune[k] + vibrato) / Rate;
            raw += k < 2 ? saw(phases[k], dt) : 0.7 * pulse(phases[k], dt, 0.5);
            phases[k] = std::fmod(phases[k] + dt, 1.0);
        }
        double cutoff = 1800 + 2600 * std::exp(-t / 0.12);
        double v = filter.run(raw, cutoff, 1.0) * envelope(t, gate, 0.008, 0.06) * level;
        put(song.dry, start + i, static_cast<float>(0.07 * v), 0.1f);
        put(song.echo, start + i, static_cast<float>(0.035 * v * space), 0);
        put(song.reverb, start + i, static_cast<float>(0.04 * v * space), 0);
    }
}

void kick(Song& song, long start) {
    double phase = 0;
    Noise noise{0x9e3779b9u ^ static_cast<uint32_t>(start)};
    long length = static_cast<long>(0.42 * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        double hz = 46 + 140 * std::exp(-t / 0.032);
        phase += hz / Rate;
        double body = std::sin(2 * Pi * phase) * std::exp(-t / 0.26);
        double click = noise.next() * std::exp(-t / 0.001) * 0.15;
        double v = std::tanh(1.6 * (body + click));
        put(song.dry, start + i, static_cast<float>(0.62 * v), 0);
    }
    // The kick pumps the bass and pad.
    long duckLength = static_cast<long>(0.3 * Rate);
    for (long i = 0; i < duckLength; ++i) {
        long at = (start + i) % Length;
        float depth =
            static_cast<float>(1 - 0.5 * std::exp(-static_cast<double>(i) / (0.08 * Rate)));
        song.duck[at] = std::min(song.duck[at], depth);
    }
}

void snare(Song& song, long start, double level) {
    Noise noise{0x85ebca6bu ^ static_cast<uint32_t>(start * 7)};
    double low = 0;
    long length = static_cast<long>(0.4 * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        double n = noise.next();
        low += 0.25 * (n - low);
        double hiss = (n - low) * std::exp(-t / 0.11);
        double tone = std::sin(2 * Pi * 190 * t) * std::exp(-t / 0.05) * 0.6;
        double v = (hiss + tone) * level;
        put(song.dry, start + i, static_cast<float>(0.26 * v), -0.05f);
        put(song.reverb, start + i, static_cast<float>(0.08 * v), 0);
    }
}

void hat(Song& song, long start, double level, bool open) {
    Noise noise{0xc2b2ae35u ^ static_cast<uint32_t>(start * 13)};
    double low1 = 0, low2 = 0;
    double decay = open ? 0.14 : 0.022;
    long length = static_cast<long>((open ? 0.6 : 0.12) * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        double n = noise.next();
        low1 += 0.55 * (n - low1);
        low2 += 0.55 * (low1 - low2);
        double v = (n - low2) * std::exp(-t / decay) * level;
        put(song.dry, start + i, static_cast<float>(0.07 * v), 0.35f);
    }
}

void crash(Song& song, long start) {
    Noise noise{0x27d4eb2fu ^ static_cast<uint32_t>(start * 31)};
    double low = 0;
    long length = static_cast<long>(3.0 * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        double n = noise.next();
        low += 0.4 * (n - low);
        double v = (n - low) * std::exp(-t / 0.8) * std::min(1.0, t / 0.002);
        put(song.dry, start + i, static_cast<float>(0.06 * v), -0.3f);
        put(song.reverb, start + i, static_cast<float>(0.03 * v), 0);
    }
}

// Chords by name: bass root, then the pad's four notes (three voices and a low root).
struct Chord {
    int bass;
    int pad[4];
};
const Chord ChordAm = {33, {45, 57, 60, 64}};
const Chord ChordF = {29, {41, 57, 60, 65}};
const Chord ChordC = {36, {48, 55, 60, 64}};
const Chord ChordG = {31, {43, 55, 59, 62}};
const Chord ChordEm = {28, {40, 55, 59, 64}};
const Chord ChordE = {28, {40, 56, 59, 64}};

const Chord& chordOfBar(int bar) {
    static const Chord* const mainBars[4] = {&ChordAm, &ChordF, &ChordC, &ChordG};
    static const Chord* const breakBars[8] = {&ChordF, &ChordG, &ChordEm, &ChordAm,
                                              &ChordF, &ChordG, &ChordE,  &ChordE};
    if (bar >= 24 && bar < 32) {
        return *breakBars[bar - 24];
    }
    return *mainBars[bar % 4];
}

struct Note {
    int bar;
    int step;
    int steps;
    int midi;
};

// The tune: eight bars over Am F C G, heard twice in the middle and once at the end.
const Note Theme[] = {
    {0, 0, 2, 69},  {0, 2, 2, 72},  {0, 4, 4, 76},  {0, 8, 2, 74},  {0, 10, 2, 72}, {0, 12, 4, 76},
    {1, 0, 6, 77},  {1, 6, 2, 76},  {1, 8, 4, 72},  {1, 12, 4, 69}, {2, 0, 2, 67},  {2, 2, 2, 72},
    {2, 4, 4, 76},  {2, 8, 4, 79},  {2, 12, 2, 76}, {2, 14, 2, 74}, {3, 0, 6, 74},  {3, 6, 2, 71},
    {3, 8, 4, 67},  {3, 12, 2, 74}, {3, 14, 2, 71}, {4, 0, 2, 69},  {4, 2, 2, 72},  {4, 4, 2, 76},
    {4, 6, 6, 81},  {4, 12, 2, 79}, {4, 14, 2, 76}, {5, 0, 4, 77},  {5, 4, 4, 81},  {5, 8, 4, 84},
    {5, 12, 4, 81}, {6, 0, 4, 79},  {6, 4, 4, 76},  {6, 8, 2, 72},  {6, 10, 2, 74}, {6, 12, 4, 76},
    {7, 0, 6, 74},  {7, 6, 2, 76},  {7, 8, 4, 74},  {7, 12, 4, 71},
};

// Long notes over the break's F G Em Am F G E E.
const Note BreakLine[] = {
    {0, 0, 16, 72}, {1, 0, 16, 74}, {2, 0, 16, 71}, {3, 0, 8, 72},  {3, 8, 8, 76}, {4, 0, 12, 77},
    {4, 12, 4, 76}, {5, 0, 12, 74}, {5, 12, 4, 71}, {6, 0, 16, 68}, {7, 0, 8, 71}, {7, 8, 8, 76},
};

void compose(Song& song) {
    static const int arpPattern[16] = {0, 1, 2, 3, 1, 2, 3, 4, 2, 3, 4, 5, 3, 4, 5, 4};
    for (int bar = 0; bar < Bars; ++bar) {
        const Chord& chord = chordOfBar(bar);
        bool intro = bar < 8;
        bool breakCalm = bar >= 24 && bar < 28;
        bool breakBuild = bar >= 28 && bar < 32;

        if (bar == 0 || bar == 8 || bar == 24 || bar == 32) {
            crash(song, stepTime(bar, 0));
        }
        // Drums.
        for (int step = 0; step < StepsPerBar; ++step) {
            long t = stepTime(bar, step);
            bool beat = step % 4 == 0;
            if (beat && (!breakCalm || step == 0)) {
                kick(song, t);
            }
            if (breakCalm && step == 10) {
                kick(song, t);
            }
            bool backbeat = step == 4 || step == 12;
            if (backbeat && (bar >= 4) && !(breakCalm && step == 4)) {
                snare(song, t, 1.0);
            }
            if (bar == 30 && step % 2 == 0 && !backbeat) {
                snare(song, t, 0.35 + 0.03 * step);
            }
            if (bar == 31 && !backbeat) {
                snare(song, t, 0.3 + 0.04 * step);
            }
            if (bar == 39 && step >= 13) {
                snare(song, t, 0.55 + 0.1 * (step - 13));
            }
            if (step % 4 == 2) {
                bool open = step == 14 && bar % 2 == 1 && !intro;
                hat(song, t, breakCalm ? 0.6 : 1.0, open);
            } else if (!intro && !breakCalm && step % 2 == 1) {
                hat(song, t, 0.45, false);
            } else if (!intro && !breakCalm && beat) {
                hat(song, t, 0.3, false);
            }
        }
        // Bass: driving octave eighths, long roots in the calm half of the break.
        if (breakCalm) {
            bassNote(song, stepTime(bar, 0), 15.5, chord.bass);
        } else {
            for (int step = 0; step < StepsPerBar; step += 2) {
                int note = chord.bass + (step % 4 == 2 ? 12 : 0);
                bassNote(song, stepTime(bar, step), 1.6, note);
            }
            if (!intro) {
                bassNote(song, stepTime(bar, 15), 0.8, chord.bass + 7);
            }
        }
        // Pad, a bar a chord.
        padChord(song, stepTime(bar, 0), 16, chord.pad, breakCalm || breakBuild ? 1.2 : 1.0);
        // Arpeggio from the second half of the intro on.
        if (bar >= 4) {
            // Under the tune: from the pad's voices up one octave.
            int tones[6] = {chord.pad[1],      chord.pad[2],      chord.pad[3],
                            chord.pad[1] + 12, chord.pad[2] + 12, chord.pad[3] + 12};
            for (int step = 0; step < StepsPerBar; ++step) {
                arpNote(song, stepTime(bar, step), tones[arpPattern[step]],
                        step % 2 ? 0.4f : -0.4f);
            }
        }
    }
    // The tune in bars 8 to 23 and 32 to 39; the second and third times with a lower octave.
    for (int firstBar : {8, 16, 32}) {
        for (const Note& n : Theme) {
            long t = stepTime(firstBar + n.bar, n.step);
            leadNote(song, t, n.steps, n.midi, 1.0, 1.0);
            if (firstBar != 8) {
                leadNote(song, t, n.steps, n.midi - 12, 0.5, 0.5);
            }
        }
    }
    for (const Note& n : BreakLine) {
        leadNote(song, stepTime(24 + n.bar, n.step), n.steps, n.midi, 0.8, 2.0);
    }
}

// Ping-pong echo of three sixteenths; run over the loop twice so the tail wraps round.
void applyEcho(Song& song) {
    const long delay = 3L * StepSamples;
    std::vector<float> lineL(delay, 0.0f), lineR(delay, 0.0f);
    double dampL = 0, dampR = 0;
    long at = 0;
    for (int lap = 0; lap < 2; ++lap) {
        for (long i = 0; i < Length; ++i) {
            float outL = lineL[at], outR = lineR[at];
            dampL += 0.45 * (outL - dampL);
            dampR += 0.45 * (outR - dampR);
            lineL[at] = static_cast<float>(song.echo.left[i] + 0.42 * dampR);
            lineR[at] = static_cast<float>(song.echo.right[i] + 0.42 * dampL);
            at = (at + 1) % delay;
            if (lap == 1) {
                song.dry.left[i] += outL;
                song.dry.right[i] += outR;
            }
        }
    }
}

// A small room of comb and all-pass filters per side, also run twice round the loop.
void applyReverb(Song& song) {
    const int combLengths[4] = {1116, 1188, 1277, 1356};
    const int allPassLengths[2] = {556, 441};
    for (int side = 0; side < 2; ++side) {
        int spread = side * 23;
        std::vector<std::vector<float>> combs, allPasses;
        std::vector<double> damp(4, 0.0);
        std::vector<int> combAt(4, 0), allPassAt(2, 0);
        for (int length : combLengths) {
            combs.emplace_back(length + spread, 0.0f);
        }
        for (int length : allPassLengths) {
            allPasses.emplace_back(length + spread, 0.0f);
        }
        std::vector<float>& out = side ? song.dry.right : song.dry.left;
        for (int lap = 0; lap < 2; ++lap) {
            for (long i = 0; i < Length; ++i) {
                double x = (song.reverb.left[i] + song.reverb.right[i]) * 0.5;
                double sum = 0;
                for (int c = 0; c < 4; ++c) {
                    float y = combs[c][combAt[c]];
                    damp[c] += 0.7 * (y - damp[c]);
                    combs[c][combAt[c]] = static_cast<float>(x + 0.8 * damp[c]);
                    combAt[c] = (combAt[c] + 1) % static_cast<int>(combs[c].size());
                    sum += y;
                }
                for (int a = 0; a < 2; ++a) {
                    float buffered = allPasses[a][allPassAt[a]];
                    allPasses[a][allPassAt[a]] = static_cast<float>(sum + 0.5 * buffered);
                    sum = buffered - sum;
                    allPassAt[a] = (allPassAt[a] + 1) % static_cast<int>(allPasses[a].size());
                }
                if (lap == 1) {
                    out[i] += static_cast<float>(0.5 * sum);
                }
            }
        }
    }
}

// Sum, gently saturate, and scale to a fixed peak.
void master(Song& song, std::vector<float>& left, std::vector<float>& right) {
    left.assign(Length, 0.0f);
    right.assign(Length, 0.0f);
    float peak = 0;
    for (long i = 0; i < Length; ++i) {
        left[i] = song.dry.left[i] + song.ducked.left[i] * song.duck[i];
        right[i] = song.dry.right[i] + song.ducked.right[i] * song.duck[i];
        peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    }
    const double drive = 1.4, ceiling = 0.89;
    for (long i = 0; i < Length; ++i) {
        left[i] =
            static_cast<float>(ceiling * std::tanh(drive * left[i] / peak) / std::tanh(drive));
        right[i] =
            static_cast<float>(ceiling * std::tanh(drive * right[i] / peak) / std::tanh(drive));
    }
}

void writeOgg(const std::string& path, const std::vector<float>& left,
              const std::vector<float>& right) {
    std::ofstream out(path, std::ios::binary);
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, Rate, 0.3f) != 0) {
        std::fprintf(stderr, "make_media: vorbis encoder refused its settings\n");
        std::exit(1);
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "TITLE", "Mirovanta");
    vorbis_comment_add_tag(&comment, "ARTIST", "Glimm");
    vorbis_comment_add_tag(&comment, "LICENSE", "CC0 1.0");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x476c6d6d); // fixed serial number: the same bytes every run
    ogg_page page;
    ogg_packet packet;

    auto writePage = [&]() {
        out.write(reinterpret_cast<const char*>(page.header), page.header_len);
        out.write(reinterpret_cast<const char*>(page.body), page.body_len);
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    while (ogg_stream_flush(&stream, &page) != 0) {
        writePage();
    }

    const long chunk = 1024;
    long done = 0;
    bool ended = false;
    while (!ended) {
        long count = std::min(chunk, Length - done);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            std::copy(left.begin() + done, left.begin() + done + count, buffer[0]);
            std::copy(right.begin() + done, right.begin() + done + count, buffer[1]);
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            done += count;
        } else {
            vorbis_analysis_wrote(&dsp, 0);
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    writePage();
                    if (ogg_page_eos(&page)) {
                        ended = true;
                    }
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    if (!out) {
        std::fprintf(stderr, "make_media: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

} // namespace

void makeMusic(const std::string& root) {
    Song song;
    compose(song);
    applyEcho(song);
    applyReverb(song);
    std::vector<float> left, right;
    master(song, left, right);
    writeOgg(root + "/Media/Game/Mirovanta.ogg", left, right);
}
