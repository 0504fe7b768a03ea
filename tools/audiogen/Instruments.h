#pragma once
// The sampled voices of the modules, each rendered by the synthesiser.
#include "Xm.h"

namespace AudioGen
{
enum class Voice
{
    Pad,      // two detuned saws, soft: chords
    Pluck,    // plucked string, warm: strums and picking
    Pizz,     // short plucked string: pizzicato
    Bass,     // round sustained bass
    FunkBass, // bright, fast-decaying bass
    Lead,     // pulse and sine with delayed vibrato: melodies
    Flute,    // soft sine lead with vibrato
    Brass,    // bright saw stack: fanfares
    ArpSynth, // square, short decay: arpeggios
    Marimba,  // sine bar with its fourth partial
    Bell,     // inharmonic bell
    Kick,
    PunchKick,
    Snare,
    Hat,
    Shaker,
};

Xm::Instrument MakeInstrument(Voice voice);
const char* VoiceName(Voice voice);
bool IsPercussion(Voice voice);

// Samples are rendered at 8363 * 2^(268/192) Hz (about 22011 Hz): a rate that the
// relative note and finetune express exactly, so pitches come out as rendered.
double SampleRate();
} // namespace AudioGen
