#include "Composer.h"

#include "Rng.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace AudioGen
{
namespace
{
constexpr int MaxScoreChannels = 16;

// A grid of cells that the parts write into, then cut into 64-row patterns.
class Score
{
public:
    explicit Score(int rows)
        : rows_(rows), grid_(static_cast<size_t>(rows), std::vector<Xm::Cell>(MaxScoreChannels))
    {
    }

    int Rows() const { return rows_; }

    // Places a note; with len > 0 a key-off follows len rows later, unless that cell is taken.
    void Note(int ch, int row, int midi, int vol, Voice voice, int len = 0, int delayTicks = 0)
    {
        if (row < 0 || row >= rows_)
            return;
        Xm::Cell& c = At(ch, row);
        if (c.note >= 1 && c.note <= 96)
            throw std::logic_error("two parts write one cell of a score");
        c.note = static_cast<uint8_t>(std::clamp(Xm::NoteFromMidi(midi), 1, 96));
        c.instrument = Instrument(voice);
        c.volume = Xm::Volume(vol);
        if (delayTicks > 0)
        {
            c.effect = 0x0E;
            c.param = static_cast<uint8_t>(0xD0 | std::min(delayTicks, Speed - 1));
        }
        if (len > 0)
            Off(ch, row + len);
    }

    void Off(int ch, int row)
    {
        if (row < 0 || row >= rows_)
            return;
        Xm::Cell& c = At(ch, row);
        if (c.note == 0)
            c.note = Xm::NoteOff;
    }

    // Volume column on a cell that sets none yet: used for fades.
    void Fade(int ch, int row, int vol)
    {
        if (row < 0 || row >= rows_)
            return;
        Xm::Cell& c = At(ch, row);
        if (c.note == Xm::NoteOff)
            return;
        if (c.volume == 0 || c.note == 0)
            c.volume = Xm::Volume(vol);
        else
            c.volume = Xm::Volume(std::min<int>(vol, c.volume - 0x10));
    }

    Xm::Module Build(const std::string& name, int bpm) const
    {
        Xm::Module m;
        m.name = name;
        m.speed = Speed;
        m.bpm = bpm;
        m.channels = std::max(1, used_ + (used_ % 2)); // trackers expect an even count
        for (Voice v : voices_)
            m.instruments.push_back(MakeInstrument(v));
        for (int start = 0; start < rows_; start += 64)
        {
            Xm::Pattern p;
            p.rows = std::min(64, rows_ - start);
            for (int r = 0; r < p.rows; ++r)
                for (int ch = 0; ch < m.channels; ++ch)
                    p.cells.push_back(grid_[static_cast<size_t>(start + r)][static_cast<size_t>(ch)]);
            m.order.push_back(static_cast<uint8_t>(m.patterns.size()));
            m.patterns.push_back(std::move(p));
        }
        return m;
    }

private:
    Xm::Cell& At(int ch, int row)
    {
        if (ch < 0 || ch >= MaxScoreChannels)
            throw std::logic_error("score channel out of range");
        used_ = std::max(used_, ch + 1);
        return grid_[static_cast<size_t>(row)][static_cast<size_t>(ch)];
    }

    uint8_t Instrument(Voice v)
    {
        auto it = std::find(voices_.begin(), voices_.end(), v);
        if (it == voices_.end())
        {
            voices_.push_back(v);
            return static_cast<uint8_t>(voices_.size());
        }
        return static_cast<uint8_t>(it - voices_.begin() + 1);
    }

    int rows_;
    int used_ = 0;
    std::vector<std::vector<Xm::Cell>> grid_;
    std::vector<Voice> voices_;
};

int Mod12(int v)
{
    return ((v % 12) + 12) % 12;
}

// The MIDI note of pitch class pc nearest to target (ties go down).
int Nearest(int pc, int target)
{
    int n = target - Mod12(target - pc);
    if (target - n > 6)
        n += 12;
    return n;
}

struct Harmony
{
    const TrackSpec& fileSpec;
    const Chord& At(int row) const
    {
        return fileSpec.progression[static_cast<size_t>(row / RowsPerBar) % fileSpec.progression.size()];
    }
};

std::vector<int> TriadClasses(const Chord& c)
{
    return {c.root, Mod12(c.root + (c.minor ? 3 : 4)), Mod12(c.root + 7)};
}

bool InChord(const Chord& c, int midi)
{
    const auto pcs = TriadClasses(c);
    return std::find(pcs.begin(), pcs.end(), Mod12(midi)) != pcs.end();
}

// Close-position voicing that moves least from the previous one, within [lo, hi].
std::vector<int> VoiceChord(const Chord& chord, const std::vector<int>& previous, int lo, int hi)
{
    const auto pcs = TriadClasses(chord);
    std::vector<int> best;
    int bestCost = 1 << 30;
    for (int inversion = 0; inversion < 3; ++inversion)
    {
        for (int base = lo; base <= hi; ++base)
        {
            if (Mod12(base) != pcs[static_cast<size_t>(inversion)])
                continue;
            std::vector<int> v{base};
            for (int k = 1; k < 3; ++k)
            {
                int n = v.back() + 1;
                while (Mod12(n) != pcs[static_cast<size_t>((inversion + k) % 3)])
                    ++n;
                v.push_back(n);
            }
            if (v.back() > hi)
                continue;
            int cost = 0;
            if (previous.size() == 3)
                for (size_t i = 0; i < 3; ++i)
                    cost += std::abs(v[i] - previous[i]);
            else
                cost = std::abs(v[1] - (lo + hi) / 2);
            if (cost < bestCost)
            {
                bestCost = cost;
                best = v;
            }
        }
    }
    return best;
}

int BassRoot(const Chord& c)
{
    int n = 36 + c.root;
    if (n > 43)
        n -= 12;
    return n;
}

// ---- Chords ---------------------------------------------------------------------

void PadPart(Score& s, const Harmony& h, int ch, Voice voice, int vol, int lo = 55, int hi = 72)
{
    std::vector<int> previous;
    for (int row = 0; row < s.Rows(); row += RowsPerBar)
    {
        const auto v = VoiceChord(h.At(row), previous, lo, hi);
        for (size_t i = 0; i < v.size(); ++i)
            s.Note(ch + static_cast<int>(i), row, v[i], vol, voice);
        previous = v;
    }
}

// Strummed chords on the rows marked in `hits` (one character per row of a bar):
// 'X' strong, 'x' normal, 'o' soft; the upper strings follow one tick apart.
void StrumPart(Score& s, const Harmony& h, int ch, Voice voice, const char* hits, int vol, int lo = 52,
               int hi = 67)
{
    std::vector<int> previous;
    for (int row = 0; row < s.Rows(); ++row)
    {
        const char mark = hits[row % RowsPerBar];
        if (mark == '.')
            continue;
        const int v = mark == 'X' ? vol : mark == 'x' ? vol * 3 / 4 : vol / 2;
        const auto notes = VoiceChord(h.At(row), previous, lo, hi);
        previous = notes;
        for (int i = 0; i < 3; ++i)
            s.Note(ch + i, row, notes[static_cast<size_t>(i)], v, voice, 0, i);
    }
}

// Broken chords: `figure` gives, per row of a bar, the chord-tone index to play
// (0..5 counts up through two octaves of the triad) or '.'; notes alternate over two
// channels so each rings into the next.
void PickPart(Score& s, const Harmony& h, int ch, Voice voice, const char* figure, int vol, int floor)
{
    int alternate = 0;
    for (int row = 0; row < s.Rows(); ++row)
    {
        const char mark = figure[row % RowsPerBar];
        if (mark < '0' || mark > '5')
            continue;
        const int index = mark - '0';
        const auto pcs = TriadClasses(h.At(row));
        int note = floor + Mod12(pcs[0] - floor);
        note += 12 * (index / 3);
        const int pcsOffset = Mod12(pcs[static_cast<size_t>(index % 3)] - pcs[0]);
        note += pcsOffset;
        const int v = (row % RowsPerBar == 0) ? vol : vol * 4 / 5;
        s.Note(ch + alternate, row, note, v, voice);
        alternate ^= 1;
    }
}

// Arpeggio of every row: up and down through the triad over two octaves.
void ArpPart(Score& s, const Harmony& h, int ch, Voice voice, int vol, int floor, Pcg32& rng)
{
    static const int shapes[2][8] = {{0, 1, 2, 3, 4, 3, 2, 1}, {0, 2, 1, 3, 2, 4, 3, 5}};
    int shape = 0;
    for (int row = 0; row < s.Rows(); ++row)
    {
        if (row % (RowsPerBar * 2) == 0)
            shape = rng.Below(2);
        const auto pcs = TriadClasses(h.At(row));
        const int index = shapes[shape][row % 8];
        int note = floor + Mod12(pcs[0] - floor) + 12 * (index / 3) +
                   Mod12(pcs[static_cast<size_t>(index % 3)] - pcs[0]);
        const int accent = (row % RowsPerBeat == 0) ? vol : vol * 3 / 4;
        s.Note(ch, row, note, accent, voice);
    }
}

// Short chord stabs on the rows marked in `hits`, cut after `len` rows.
void StabPart(Score& s, const Harmony& h, int ch, Voice voice, const char* hits, int vol, int len)
{
    std::vector<int> previous;
    for (int row = 0; row < s.Rows(); ++row)
    {
        if (hits[row % RowsPerBar] == '.')
            continue;
        const auto notes = VoiceChord(h.At(row), previous, 57, 72);
        previous = notes;
        for (int i = 0; i < 3; ++i)
            s.Note(ch + i, row, notes[static_cast<size_t>(i)], vol, voice, len);
    }
}

// ---- Bass -----------------------------------------------------------------------

struct BassHit
{
    int step;     // row within the bar
    int len;      // rows, 0 = let ring
    int interval; // semitones over the chord root; 99 = the chord's third
    int vol;
};

void BassPart(Score& s, const Harmony& h, int ch, Voice voice, const std::vector<BassHit>& bar)
{
    for (int start = 0; start < s.Rows(); start += RowsPerBar)
    {
        const Chord& c = h.At(start);
        const int root = BassRoot(c);
        for (const BassHit& hit : bar)
        {
            const int interval = hit.interval == 99 ? (c.minor ? 3 : 4) : hit.interval;
            s.Note(ch, start + hit.step, root + interval, hit.vol, voice, hit.len);
        }
    }
}

// ---- Drums ----------------------------------------------------------------------

struct Kit
{
    Voice kick = Voice::Kick;
    Voice snare = Voice::Snare;
    Voice hat = Voice::Hat;
    const char* kicks = "x.......x.......";
    const char* snares = "....x.......x...";
    const char* hats = "x.x.x.x.x.x.x.x.";
    int kickVol = 56, snareVol = 40, hatVol = 24;
    bool fills = true;
};

int MarkVolume(char m, int vol)
{
    switch (m)
    {
    case 'X':
        return std::min(64, vol * 5 / 4);
    case 'x':
        return vol;
    case 'o':
        return vol * 2 / 3;
    case 'g':
        return vol / 3;
    default:
        return -1;
    }
}

void DrumPart(Score& s, int ch, const Kit& kit, Pcg32& rng)
{
    const int bars = s.Rows() / RowsPerBar;
    for (int bar = 0; bar < bars; ++bar)
    {
        const int start = bar * RowsPerBar;
        const bool fillBar = kit.fills && (bar % 4 == 3);
        const int fillFrom = fillBar ? (rng.Chance(0.5) ? 12 : 8) : RowsPerBar;
        for (int step = 0; step < RowsPerBar; ++step)
        {
            const int row = start + step;
            int kv = MarkVolume(kit.kicks[step], kit.kickVol);
            int sv = MarkVolume(kit.snares[step], kit.snareVol);
            const int hv = MarkVolume(kit.hats[step], kit.hatVol);
            if (step >= fillFrom)
            {
                // A fill: snare on every other row, rising, the last beat on each row.
                const bool on = step >= 12 ? true : step % 2 == 0;
                sv = on ? kit.snareVol * (8 + step - fillFrom) / (8 + RowsPerBar - fillFrom) : -1;
                if (step == RowsPerBar - 1)
                    kv = -1;
            }
            else if (kv < 0 && sv < 0 && step % 2 == 0 && rng.Chance(0.06))
            {
                kv = kit.kickVol / 2; // an occasional extra kick
            }
            if (kv >= 0)
                s.Note(ch, row, 60, kv, kit.kick);
            if (sv >= 0)
                s.Note(ch + 1, row, 60, sv, kit.snare);
            if (hv >= 0 && !(fillBar && step >= 14))
                s.Note(ch + 2, row, 60 + (step % 4 == 2 ? 2 : 0), hv, kit.hat);
        }
    }
}

// ---- Melody ---------------------------------------------------------------------

struct Onset
{
    int row;
    int len;
};

struct MelodyStyle
{
    Voice voice = Voice::Lead;
    int lo = 64, hi = 81;
    double density = 0.5; // 0 sparse .. 1 busy
    double leap = 0.15;
    int vol = 48;
    bool legato = true; // key-off at the end of each note (sustained voices)
};

// One beat of rhythm: onsets as (row offset, length) within the beat, or a tie/rest.
struct BeatCell
{
    int kind; // 0 notes, 1 tie, 2 rest
    std::vector<std::pair<int, int>> onsets;
    double weight;
};

std::vector<BeatCell> Cells(double d)
{
    return {
        {0, {{0, 4}}, 3.0},
        {0, {{0, 2}, {2, 2}}, 1.0 + 4.0 * d},
        {0, {{0, 2}}, 1.0},
        {0, {{2, 2}}, 0.4 + d},
        {0, {{0, 3}, {3, 1}}, 2.0 * d},
        {0, {{0, 1}, {1, 1}, {2, 2}}, d > 0.5 ? 1.5 * d : 0.0},
        {1, {}, 2.5 * (1.0 - d)},
        {2, {}, 1.2 * (1.0 - d)},
    };
}

const BeatCell& PickCell(const std::vector<BeatCell>& cells, Pcg32& rng, bool allowTieRest)
{
    double total = 0.0;
    for (const BeatCell& c : cells)
        if (allowTieRest || c.kind == 0)
            total += c.weight;
    double r = rng.Uniform() * total;
    for (const BeatCell& c : cells)
    {
        if (!allowTieRest && c.kind != 0)
            continue;
        if (r < c.weight)
            return c;
        r -= c.weight;
    }
    return cells.front();
}

// Two bars of rhythm; the second bar of a cadence ends on a held note.
std::vector<Onset> MakeRhythm(double density, Pcg32& rng, bool cadence)
{
    const auto cells = Cells(density);
    std::vector<Onset> out;
    for (int beat = 0; beat < 2 * BeatsPerBar; ++beat)
    {
        const int base = beat * RowsPerBeat;
        const BeatCell* cell;
        if (cadence && beat >= 5)
        {
            static const BeatCell hold{1, {}, 0.0};
            static const BeatCell quarter{0, {{0, 4}}, 0.0};
            cell = beat == 5 ? &quarter : &hold;
        }
        else
        {
            cell = &PickCell(cells, rng, beat != 0 && !out.empty());
        }
        if (cell->kind == 1)
        {
            if (!out.empty() && out.back().row + out.back().len == base)
                out.back().len += RowsPerBeat;
        }
        else if (cell->kind == 0)
        {
            for (auto [offset, len] : cell->onsets)
                out.push_back({base + offset, len});
        }
    }
    return out;
}

class MelodyWriter
{
public:
    MelodyWriter(const TrackSpec& fileSpec, const Harmony& h, const MelodyStyle& style)
        : spec_(fileSpec), h_(h), style_(style)
    {
        const auto pcs = ScalePitchClasses(fileSpec.tonic, fileSpec.minor);
        for (int n = style.lo - 12; n <= style.hi + 12; ++n)
            if (std::find(pcs.begin(), pcs.end(), Mod12(n)) != pcs.end())
                scale_.push_back(n);
    }

    // Pitches for onsets that start at `startRow`, from `pitch`, by the rules:
    // chord tones on the strong beats, scale steps between, leaps now and then.
    std::vector<int> Pitches(const std::vector<Onset>& rhythm, int startRow, int pitch, Pcg32& rng,
                             bool endsSong) const
    {
        std::vector<int> out;
        int direction = rng.Chance(0.5) ? 1 : -1;
        for (size_t i = 0; i < rhythm.size(); ++i)
        {
            const int row = startRow + rhythm[i].row;
            const Chord& chord = h_.At(row);
            const bool last = i + 1 == rhythm.size();
            if (pitch >= style_.hi - 2)
                direction = -1;
            else if (pitch <= style_.lo + 2)
                direction = 1;
            else if (rng.Chance(0.3))
                direction = -direction;

            int next;
            if (row % (RowsPerBeat * 2) == 0 || last || i == 0)
            {
                int target = pitch;
                if (!last && rng.Chance(style_.leap))
                    target += direction * (5 + rng.Below(4));
                next = NearestChordTone(chord, target, last && endsSong);
            }
            else
            {
                next = Step(pitch, direction * (rng.Chance(0.25) ? 2 : 1));
                if (row % RowsPerBeat == 0 && !InChord(chord, next))
                    next = NearestChordTone(chord, next, false);
            }
            out.push_back(next);
            pitch = next;
        }
        return out;
    }

    void Write(Score& s, int ch, const std::vector<Onset>& rhythm, const std::vector<int>& pitches,
               int startRow) const
    {
        for (size_t i = 0; i < rhythm.size(); ++i)
        {
            const int row = startRow + rhythm[i].row;
            const int accent = row % RowsPerBar == 0    ? style_.vol
                               : row % RowsPerBeat == 0 ? style_.vol * 9 / 10
                                                        : style_.vol * 4 / 5;
            s.Note(ch, row, pitches[i], accent, style_.voice, style_.legato ? rhythm[i].len : 0);
        }
    }

    int Start() const { return NearestChordTone(h_.At(0), (style_.lo * 2 + style_.hi) / 3 + 2, false); }

private:
    int NearestChordTone(const Chord& c, int target, bool preferTonic) const
    {
        int best = target, bestDistance = 1 << 30;
        for (int n = style_.lo; n <= style_.hi; ++n)
        {
            if (!InChord(c, n))
                continue;
            int d = std::abs(n - target) * 2;
            if (preferTonic && Mod12(n) != spec_.tonic)
                d += 30;
            if (d < bestDistance)
            {
                bestDistance = d;
                best = n;
            }
        }
        return best;
    }

    int Step(int pitch, int degrees) const
    {
        auto it = std::lower_bound(scale_.begin(), scale_.end(), pitch);
        long index = it - scale_.begin();
        index = std::clamp<long>(index + degrees, 0, static_cast<long>(scale_.size()) - 1);
        return std::clamp(scale_[static_cast<size_t>(index)], style_.lo, style_.hi);
    }

    const TrackSpec& spec_;
    const Harmony& h_;
    MelodyStyle style_;
    std::vector<int> scale_;
};

// Phrases of four bars in the form A A' B A' (A' repeats A's first half, then answers).
void LeadPart(Score& s, const TrackSpec& fileSpec, const Harmony& h, int ch, const MelodyStyle& style)
{
    MelodyWriter writer(fileSpec, h, style);
    Pcg32 rhythmRng(fileSpec.seed * 31u + 7u);
    const auto motifA = MakeRhythm(style.density, rhythmRng, false);
    const auto cadenceA = MakeRhythm(style.density, rhythmRng, true);
    const auto motifB = MakeRhythm(std::min(1.0, style.density + 0.2), rhythmRng, false);
    const auto cadenceB = MakeRhythm(style.density, rhythmRng, true);

    const int bars = s.Rows() / RowsPerBar;
    const int phrases = std::max(1, bars / 4);
    const int start = writer.Start();
    for (int p = 0; p < phrases; ++p)
    {
        const int row = p * 4 * RowsPerBar;
        const bool isB = phrases >= 4 && p % 4 == 2;
        const bool lastPhrase = p + 1 == phrases;
        const auto& first = isB ? motifB : motifA;
        const auto& second = isB ? cadenceB : cadenceA;
        Pcg32 firstRng(fileSpec.seed * 1000u + (isB ? 2u : 1u));
        const int from = isB ? std::min(style.hi - 4, start + 4) : start;
        const auto firstPitches = writer.Pitches(first, row, from, firstRng, false);
        writer.Write(s, ch, first, firstPitches, row);
        Pcg32 secondRng(fileSpec.seed * 1000u + 10u + static_cast<uint32_t>(isB ? 0 : p % 2));
        const int secondRow = row + 2 * RowsPerBar;
        const auto secondPitches =
            writer.Pitches(second, secondRow, firstPitches.back(), secondRng, lastPhrase);
        writer.Write(s, ch, second, secondPitches, secondRow);
    }
}

// ---- Jingles --------------------------------------------------------------------

// Rising: each bar an arpeggio of its chord from a little above the last bar's start,
// the last bar the tonic held and faded.
void RisingJingle(Score& s, const TrackSpec& fileSpec, const Harmony& h, int ch, Voice voice, int vol)
{
    const int bars = s.Rows() / RowsPerBar;
    int floor = 67;
    for (int bar = 0; bar < bars; ++bar)
    {
        const int row = bar * RowsPerBar;
        const Chord& c = h.At(row);
        if (bar + 1 == bars)
        {
            const int top = Nearest(fileSpec.tonic, floor + 5);
            s.Note(ch, row, top, vol, voice);
            s.Note(ch + 1, row, top - 12, vol * 3 / 4, Voice::Bell);
            break;
        }
        int n = floor;
        while (!InChord(c, n))
            ++n;
        for (int k = 0; k < 4; ++k)
        {
            s.Note(ch, row + 2 * k, n, vol - 4 * (3 - k), voice, k == 3 ? 8 : 2);
            if (k == 3)
                s.Note(ch + 1, row + 2 * k, n, vol / 2, Voice::Bell);
            ++n;
            while (!InChord(c, n))
                ++n;
        }
        floor += 3;
    }
}

// Fanfare: "ta-ta-ta taaa" per bar, the repeated note a chord tone, then a leap up.
void FanfareLead(Score& s, const TrackSpec& fileSpec, const Harmony& h, int ch, int vol)
{
    const int bars = s.Rows() / RowsPerBar;
    int pitch = 67;
    for (int bar = 0; bar < bars; ++bar)
    {
        const int row = bar * RowsPerBar;
        const Chord& c = h.At(row);
        if (bar + 1 == bars)
        {
            s.Note(ch, row, Nearest(fileSpec.tonic, pitch + 3), vol, Voice::Brass);
            break;
        }
        int repeated = pitch;
        while (!InChord(c, repeated))
            --repeated;
        int top = repeated + 1;
        while (!InChord(c, top) || top - repeated < 3)
            ++top;
        for (int k = 0; k < 3; ++k)
            s.Note(ch, row + 2 * k, repeated, vol * 4 / 5, Voice::Brass, 1);
        s.Note(ch, row + 6, top, vol, Voice::Brass, 9);
        pitch = top > 76 ? top - 5 : top;
    }
}

// Descending: a line falling by scale steps every half bar, chord tones on the bar
// lines, ending on the tonic below.
void FallingLine(Score& s, const TrackSpec& fileSpec, const Harmony& h, int ch, int vol)
{
    const auto pcs = ScalePitchClasses(fileSpec.tonic, fileSpec.minor);
    auto inScale = [&](int n) { return std::find(pcs.begin(), pcs.end(), Mod12(n)) != pcs.end(); };
    const int rows = s.Rows();
    int pitch = 77;
    for (int row = 0; row < rows; row += RowsPerBar / 2)
    {
        const Chord& c = h.At(row);
        const bool last = row + RowsPerBar / 2 >= rows;
        int n = pitch - 1;
        if (last)
        {
            n = Nearest(fileSpec.tonic, pitch - 2);
            if (n >= pitch)
                n -= 12;
        }
        else if (row % RowsPerBar == 0)
        {
            while (!InChord(c, n))
                --n;
        }
        else
        {
            // a leading tone of the chord counts as in scale here (harmonic minor)
            while (!inScale(n) && !InChord(c, n))
                --n;
        }
        s.Note(ch, row, n, vol, Voice::Lead, last ? 0 : RowsPerBar / 2 - 1);
        pitch = n;
    }
}

// Fades every channel to silence over the last `rows` rows, so a one-shot ends softly.
void FadeOut(Score& s, int channels, int rows, int fromVol)
{
    for (int i = 0; i < rows; ++i)
    {
        const int row = s.Rows() - rows + i;
        const int vol = fromVol * (rows - 1 - i) / rows;
        for (int ch = 0; ch < channels; ++ch)
            s.Fade(ch, row, vol);
    }
}

// ---- Styles ---------------------------------------------------------------------

struct Guest
{
    Kit kit;
    std::vector<BassHit> bass;
    Voice bassVoice = Voice::Bass;
};

void Rhythm(Score& s, const TrackSpec& fileSpec, const Harmony& h, Pcg32& rng)
{
    // Channels: 0 bass, 1-5 chords, 6-8 drums.
    Kit kit;
    std::vector<BassHit> bass;
    Voice bassVoice = Voice::Bass;
    switch (fileSpec.style)
    {
    case Style::RhythmJillian:
        kit.hat = Voice::Shaker;
        kit.hats = "xoxoxoxoxoxoxoxo";
        kit.hatVol = 22;
        kit.kickVol = 44;
        kit.snareVol = 26;
        bass = {{0, 0, 0, 46}, {6, 0, 7, 40}, {8, 0, 0, 44}, {12, 0, 7, 40}};
        PickPart(s, h, 1, Voice::Pluck, "0.2.1.3.4.3.1.2.", 40, 52);
        StrumPart(s, h, 3, Voice::Pluck, "X...............", 28, 57, 69);
        break;
    case Style::RhythmHarley:
        kit.kick = Voice::PunchKick;
        kit.kicks = "X.....x.X.x.....";
        kit.snares = "....X.......X..o";
        kit.hats = "xoxoxoxoxoxoxoxo";
        kit.kickVol = 60;
        kit.snareVol = 50;
        kit.hatVol = 26;
        bass = {{0, 2, 0, 50}, {2, 2, 0, 40},  {4, 2, 12, 44},  {6, 2, 0, 40},
                {8, 2, 0, 48}, {10, 2, 0, 40}, {12, 2, 12, 44}, {14, 2, 7, 40}};
        StabPart(s, h, 1, Voice::Brass, "X.....x...x.....", 22, 3);
        break;
    case Style::RhythmMiranda:
        kit.kicks = "x.........x.....";
        kit.snares = "....o.......o...";
        kit.hats = "..o...o...o...o.";
        kit.kickVol = 40;
        kit.snareVol = 26;
        kit.hatVol = 18;
        kit.fills = false;
        bass = {{0, 0, 0, 46}, {8, 0, 7, 40}};
        PadPart(s, h, 1, Voice::Pad, 30);
        break;
    case Style::RhythmZoe:
        kit.kicks = "x...x...x...x...";
        kit.snares = "....x.......x...";
        kit.hats = "..x...x...x...x.";
        kit.kickVol = 52;
        kit.snareVol = 36;
        kit.hatVol = 26;
        bass = {{0, 1, 0, 44}, {2, 1, 0, 36},  {4, 1, 12, 40},  {6, 1, 0, 36},
                {8, 1, 0, 44}, {10, 1, 0, 36}, {12, 1, 12, 40}, {14, 1, 7, 36}};
        ArpPart(s, h, 1, Voice::ArpSynth, 34, 57, rng);
        PadPart(s, h, 2, Voice::Pad, 14, 52, 64);
        break;
    case Style::RhythmJason:
        kit.kicks = "x..x......x..x..";
        kit.snares = "....x..g.g..x..g";
        kit.hats = "xgxgxgxgxgxgxgxg";
        kit.kickVol = 54;
        kit.snareVol = 40;
        kit.hatVol = 26;
        bassVoice = Voice::FunkBass;
        bass = {{0, 2, 0, 54},  {3, 1, 0, 40},  {4, 1, 12, 48},  {6, 2, 0, 44},  {7, 1, 10, 36},
                {10, 1, 0, 48}, {11, 1, 7, 40}, {12, 2, 12, 46}, {14, 1, 7, 38}, {15, 1, 5, 34}};
        StabPart(s, h, 1, Voice::Pluck, "..x.....x.x.....", 26, 1);
        break;
    case Style::RhythmHeather:
        kit.kicks = "x.......x.....x.";
        kit.snares = "....o.......o...";
        kit.hat = Voice::Shaker;
        kit.hats = "x.o.x.o.x.o.x.o.";
        kit.kickVol = 42;
        kit.snareVol = 24;
        kit.hatVol = 18;
        bass = {{0, 0, 0, 46}, {6, 0, 7, 38}, {8, 0, 0, 42}, {12, 0, 99, 38}};
        PickPart(s, h, 1, Voice::Marimba, "0.1.2.3.4.2.3.1.", 42, 57);
        PickPart(s, h, 3, Voice::Marimba, "....0.......0...", 28, 45);
        break;
    default:
        throw std::logic_error("not a rhythm style");
    }
    BassPart(s, h, 0, bassVoice, bass);
    DrumPart(s, 6, kit, rng);
}
} // namespace

std::vector<int> ChordTones(const Chord& chord)
{
    return TriadClasses(chord);
}

std::vector<int> ScalePitchClasses(int tonic, bool minor)
{
    static const int major[] = {0, 2, 4, 5, 7, 9, 11};
    static const int aeolian[] = {0, 2, 3, 5, 7, 8, 10};
    std::vector<int> out;
    for (int step : minor ? aeolian : major)
        out.push_back(Mod12(tonic + step));
    return out;
}

Xm::Module Compose(const TrackSpec& fileSpec)
{
    if (fileSpec.progression.empty() || fileSpec.bars < 1)
        throw std::invalid_argument("a track needs bars and a progression");
    Score s(fileSpec.bars * RowsPerBar);
    Harmony h{fileSpec};
    Pcg32 rng(fileSpec.seed);
    // Channels for the full arrangements: 0 lead, 1 bass, then chords, then drums; no
    // two parts share a channel (the score refuses a second note in one cell).
    switch (fileSpec.style)
    {
    case Style::Lobby:
    {
        LeadPart(s, fileSpec, h, 0, {Voice::Flute, 67, 84, 0.35, 0.15, 40, true});
        BassPart(s, h, 1, Voice::Bass, {{0, 0, 0, 42}, {8, 0, 7, 36}});
        PickPart(s, h, 2, Voice::Pluck, "0.1.2.1.3.1.2.1.", 36, 48);
        PadPart(s, h, 4, Voice::Pad, 16, 55, 67);
        Kit kit;
        kit.hat = Voice::Shaker;
        kit.kicks = "x.........x.....";
        kit.snares = "................";
        kit.hats = "..o...o...o...o.";
        kit.kickVol = 30;
        kit.hatVol = 16;
        kit.fills = false;
        DrumPart(s, 7, kit, rng);
        break;
    }
    case Style::Cutscene:
        LeadPart(s, fileSpec, h, 0, {Voice::Bell, 69, 86, 0.1, 0.2, 30, false});
        BassPart(s, h, 1, Voice::Bass, {{0, 0, 0, 40}});
        PadPart(s, h, 2, Voice::Pad, 24);
        break;
    case Style::Intro:
    {
        LeadPart(s, fileSpec, h, 0, {Voice::Lead, 67, 84, 0.55, 0.2, 42, true});
        BassPart(s, h, 1, Voice::Bass,
                 {{0, 3, 0, 46}, {4, 3, 7, 40}, {8, 3, 0, 44}, {12, 2, 7, 40}, {14, 2, 12, 36}});
        StrumPart(s, h, 2, Voice::Pluck, "X.....x.x.o.x...", 34);
        Kit kit;
        kit.hats = "x.o.x.o.x.o.x.o.";
        DrumPart(s, 5, kit, rng);
        break;
    }
    case Style::Tictionary:
    {
        LeadPart(s, fileSpec, h, 0, {Voice::Pizz, 69, 86, 0.7, 0.2, 62, false});
        BassPart(s, h, 1, Voice::Pizz, {{0, 0, -12, 60}, {4, 0, -5, 50}, {8, 0, -12, 56}, {12, 0, -5, 50}});
        PickPart(s, h, 2, Voice::Pizz, "0...2.1...3.2...", 48, 55);
        PadPart(s, h, 8, Voice::Pad, 10, 55, 67);
        Kit kit;
        kit.hat = Voice::Shaker;
        kit.kicks = "................";
        kit.snares = "................";
        kit.hats = "x.o.x.o.x.o.x.o.";
        kit.hatVol = 14;
        kit.fills = false;
        DrumPart(s, 5, kit, rng);
        break;
    }
    case Style::TicIntro:
    {
        LeadPart(s, fileSpec, h, 0, {Voice::Flute, 69, 86, 0.65, 0.25, 40, true});
        BassPart(s, h, 1, Voice::Bass, {{0, 2, 0, 44}, {4, 2, 7, 38}, {8, 2, 0, 42}, {12, 2, 7, 38}});
        PickPart(s, h, 2, Voice::Marimba, "0.1.2.1.3.1.2.1.", 36, 57);
        Kit kit;
        kit.kicks = "x.......x.......";
        kit.snares = "....o.......o...";
        kit.hats = "x.x.x.x.x.x.x.x.";
        kit.kickVol = 40;
        kit.snareVol = 26;
        kit.hatVol = 16;
        DrumPart(s, 5, kit, rng);
        break;
    }
    case Style::GuestIntro:
        LeadPart(s, fileSpec, h, 0, {Voice::Lead, 64, 81, 0.3, 0.15, 38, true});
        BassPart(s, h, 1, Voice::Bass, {{0, 0, 0, 42}, {10, 0, 7, 36}});
        PickPart(s, h, 2, Voice::Pluck, "0..1..2.3..2..1.", 32, 50);
        PadPart(s, h, 4, Voice::Pad, 14, 57, 69);
        break;
    case Style::Success:
    {
        RisingJingle(s, fileSpec, h, 0, Voice::Lead, 48);
        BassPart(s, h, 2, Voice::Bass, {{0, 0, 0, 44}, {8, 0, 7, 38}});
        PadPart(s, h, 3, Voice::Pad, 20, 57, 72);
        Kit kit;
        kit.kicks = "x.......x.......";
        kit.snares = "....x.......x...";
        kit.hats = "x.x.x.x.x.x.x.x.";
        kit.fills = false;
        DrumPart(s, 6, kit, rng);
        FadeOut(s, 9, 10, 40);
        break;
    }
    case Style::Expert:
    {
        FanfareLead(s, fileSpec, h, 0, 50);
        BassPart(s, h, 1, Voice::Bass, {{0, 0, 0, 46}, {6, 0, 0, 40}, {8, 0, 7, 40}, {12, 0, 12, 40}});
        StabPart(s, h, 2, Voice::Brass, "X.....x.........", 22, 8);
        Kit kit;
        kit.kick = Voice::PunchKick;
        kit.kicks = "x...x...x...x...";
        kit.snares = "......x.....x.x.";
        kit.hats = "x.x.x.x.x.x.x.x.";
        kit.snareVol = 36;
        DrumPart(s, 5, kit, rng);
        FadeOut(s, 8, 8, 40);
        break;
    }
    case Style::Failure:
    {
        FallingLine(s, fileSpec, h, 0, 44);
        BassPart(s, h, 1, Voice::Bass, {{0, 0, 0, 42}});
        PadPart(s, h, 2, Voice::Pad, 18, 52, 67);
        FadeOut(s, 5, 12, 40);
        break;
    }
    case Style::Melody:
        // The lead, doubled an octave down by a softer voice for body.
        LeadPart(s, fileSpec, h, 0, {Voice::Lead, 64, 81, 0.6, 0.15, 56, true});
        LeadPart(s, fileSpec, h, 1, {Voice::Flute, 52, 69, 0.6, 0.15, 36, true});
        break;
    default:
        Rhythm(s, fileSpec, h, rng);
        break;
    }
    Xm::Module m = s.Build(fileSpec.resource, fileSpec.bpm);
    return m;
}

const std::vector<TrackSpec>& Tracks()
{
    // Pitch classes: C 0, D 2, E 4, F 5, G 7, A 9, B 11; Bb 10.
    const Chord C{0, false}, Dm{2, true}, Em{4, true}, F{5, false}, G{7, false}, Am{9, true}, Bb{10, false},
        D{2, false}, Bm{11, true}, E{4, false}, A{9, false};
    static const std::vector<TrackSpec> tracks = [&]
    {
        const std::vector<Chord> level{Am, F, C, G};
        std::vector<TrackSpec> t;
        t.push_back({"MUSIC_Lobby",
                     Style::Lobby,
                     100,
                     16,
                     0,
                     false,
                     {C, Am, F, G, C, Em, F, G},
                     11,
                     true,
                     "C major, 100 BPM: fingerpicked pluck, soft pad, round bass, shaker and a flute tune"});
        t.push_back({"MUSIC_Cutscene",
                     Style::Cutscene,
                     90,
                     16,
                     2,
                     true,
                     {Dm, Bb, F, C},
                     12,
                     true,
                     "D minor, 90 BPM: slow pad chords over held bass with a sparse bell line"});
        t.push_back({"MUSIC_Intro",
                     Style::Intro,
                     112,
                     8,
                     7,
                     false,
                     {G, D, Em, C},
                     13,
                     true,
                     "G major, 112 BPM: strummed pluck, walking bass, light kit and a lively lead"});
        t.push_back({"MUSIC_Tictionary",
                     Style::Tictionary,
                     96,
                     16,
                     2,
                     false,
                     {D, Bm, G, A},
                     14,
                     true,
                     "D major, 96 BPM: pizzicato tune, pizzicato bass and broken chords, soft shaker"});
        t.push_back({"MUSIC_TicIntro",
                     Style::TicIntro,
                     104,
                     8,
                     5,
                     false,
                     {F, Dm, Bb, C},
                     15,
                     true,
                     "F major, 104 BPM: marimba figures, bouncing bass, brushed kit and a playful flute"});
        t.push_back({"MUSIC_GuestIntro",
                     Style::GuestIntro,
                     92,
                     8,
                     4,
                     true,
                     {Em, C, G, D},
                     16,
                     true,
                     "E minor, 92 BPM: gentle picked pluck over a pad, calm lead"});
        t.push_back({"MUSIC_LevelSuccess",
                     Style::Success,
                     192,
                     4,
                     0,
                     false,
                     {C, F, G, C},
                     17,
                     false,
                     "C major jingle, 5.0 s: rising arpeggios to a held tonic with a bell"});
        t.push_back({"MUSIC_LevelExpert",
                     Style::Expert,
                     200,
                     5,
                     0,
                     false,
                     {C, F, C, G, C},
                     18,
                     false,
                     "C major fanfare, 6.0 s: brass ta-ta-ta-taaa calls over stabs and a driving kit"});
        t.push_back({"MUSIC_LevelFailure",
                     Style::Failure,
                     192,
                     4,
                     9,
                     true,
                     {Am, F, E, Am},
                     19,
                     false,
                     "A minor, 5.0 s: a lead falling step by step over slow pads to the low tonic"});
        t.push_back({"MUSIC_melody", Style::Melody, 125, 16, 9, true, level, 20, true,
                     "A minor, 125 BPM, Am-F-C-G: the in-level lead alone, phrases A A' B A'"});
        const char* guests[] = {"Jillian", "Harley", "Miranda", "Zoe", "Jason", "Heather"};
        const Style styles[] = {Style::RhythmJillian, Style::RhythmHarley, Style::RhythmMiranda,
                                Style::RhythmZoe,     Style::RhythmJason,  Style::RhythmHeather};
        const char* notes[] = {
            "acoustic: fingerpicked and strummed pluck, root-fifth bass, shaker and soft kit",
            "punchy: hard kick and snare, driving eighth bass with octaves, brass stabs",
            "soft: warm pad chords, held bass, brushed light kit",
            "arpeggio synth: sixteenth arpeggios over a thin pad, pulsing bass, four-on-the-floor",
            "funky: syncopated plucked bass with octaves and sevenths, ghost-note snare, chord chops",
            "marimba: rolling marimba figures, low marimba answers, root-fifth bass, shaker",
        };
        for (int i = 0; i < 6; ++i)
            t.push_back({std::string("MUSIC_rhythm_") + guests[i], styles[i], 125, 16, 9, true, level,
                         static_cast<uint32_t>(30 + i), true,
                         std::string("A minor, 125 BPM, Am-F-C-G: ") + notes[i]});
        return t;
    }();
    return tracks;
}
} // namespace AudioGen
