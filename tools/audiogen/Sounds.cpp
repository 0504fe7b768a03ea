#include "Sounds.h"

#include "DetMath.h"

namespace AudioGen
{
namespace
{
using W = Wave;

SoundSpec Fx(const char* name, uint32_t seed, double seconds, std::vector<Layer> layers, double volume,
             const char* what, Echo echo = {})
{
    SoundSpec s;
    s.resource = name;
    s.file = name;
    s.patch.seed = seed;
    s.patch.duration = seconds;
    s.patch.layers = std::move(layers);
    s.patch.echo = echo;
    s.volume = volume;
    s.description = what;
    return s;
}

// A squeak: a pulse that rises and wobbles.
std::vector<Layer> Squeak(double hz)
{
    return {Osc(W::Square, hz)
                .Duty(0.25)
                .Slide(hz * 1.5, 2.0)
                .Vib(16, 0.4)
                .Len(0.12)
                .Env(0.005, 0.1, 0.3, 0.05)
                .Lp(4000),
            Osc(W::Sine, hz * 2.0).Slide(hz * 3.0, 2.0).Len(0.1).Env(0.005, 0.1, 0.0, 0.03).Gain(0.3)};
}

// A bell tone at `hz`: a fundamental and two inharmonic partials.
void Bell(std::vector<Layer>& layers, double hz, double at, double len, double gain)
{
    layers.push_back(Osc(W::Sine, hz).At(at).Len(len).Env(0.002, len, 0.0, 0.05).Gain(gain));
    layers.push_back(
        Osc(W::Sine, hz * 2.76).At(at).Len(len * 0.4).Env(0.001, len * 0.4, 0.0, 0.03).Gain(gain * 0.3));
    layers.push_back(
        Osc(W::Sine, hz * 5.4).At(at).Len(len * 0.15).Env(0.001, len * 0.15, 0.0, 0.02).Gain(gain * 0.12));
}

std::vector<Layer> Chime(std::vector<int> steps, double hz, double gap, double len)
{
    std::vector<Layer> layers;
    for (size_t i = 0; i < steps.size(); ++i)
        Bell(layers, hz * Det::Exp2(steps[i] / 12.0), gap * static_cast<double>(i), len, 0.6);
    return layers;
}

std::vector<Layer> Join(std::vector<Layer> a, const std::vector<Layer>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<SoundSpec> MakeEffects()
{
    std::vector<SoundSpec> v;
    const std::vector<int> pentatonic{0, 2, 4, 7, 9, 12, 14, 16};

    // UI
    v.push_back(Fx("SFX_UI_Hot", 1, 0.06,
                   {Osc(W::Sine, 2400).Len(0.012).Env(0.001, 0.012, 0.0, 0.01),
                    Osc(W::Noise, 0).Len(0.004).Env(0.0005, 0.004, 0.0, 0.002).Hp(3000).Gain(0.3)},
                   0.35, "soft tick"));
    v.push_back(Fx("SFX_UI_Down", 2, 0.09,
                   {Osc(W::Noise, 0).Len(0.015).Env(0.001, 0.015, 0.0, 0.01).Lp(1500),
                    Osc(W::Sine, 180).Slide(120).Len(0.04).Env(0.001, 0.04, 0.0, 0.02).Gain(0.8)},
                   0.6, "felt click"));
    v.push_back(Fx("SFX_UI_PageFlip", 3, 0.32,
                   {Osc(W::Noise, 0).Len(0.2).Env(0.08, 0.12, 0.2, 0.08).Hp(800).Lp(2000, 6000)}, 0.6,
                   "paper swish"));
    v.push_back(Fx("SFX_UI_Check", 4, 0.14,
                   {Osc(W::Triangle, 880).Arp({0, 7}, 0.045).Len(0.09).Env(0.002, 0.09, 0.2, 0.04),
                    Osc(W::Sine, 1760).Arp({0, 7}, 0.045).Len(0.09).Env(0.002, 0.06, 0.0, 0.03).Gain(0.25)},
                   0.5, "rising two-step blip"));
    v.push_back(Fx("SFX_UI_Uncheck", 5, 0.14,
                   {Osc(W::Triangle, 880).Arp({7, 0}, 0.045).Len(0.09).Env(0.002, 0.09, 0.2, 0.04),
                    Osc(W::Sine, 1760).Arp({7, 0}, 0.045).Len(0.09).Env(0.002, 0.06, 0.0, 0.03).Gain(0.25)},
                   0.5, "falling two-step blip"));
    v.push_back(Fx("SFX_UI_Tick", 6, 0.04, {Osc(W::Triangle, 1800).Len(0.015).Env(0.0005, 0.015, 0.0, 0.01)},
                   0.35, "woodblock tick"));
    v.push_back(Fx("SFX_UI_dialog", 7, 0.42,
                   {Osc(W::Noise, 0).Len(0.22).Env(0.15, 0.07, 0.5, 0.18).Lp(300, 3000).Hp(150),
                    Osc(W::Sine, 220).Slide(330).Len(0.22).Env(0.15, 0.07, 0.3, 0.15).Gain(0.15)},
                   0.5, "woosh"));
    v.push_back(Fx("SFX_NewDayUnlock", 8, 0.95, Chime({0, 4, 7, 12}, 784, 0.08, 0.6), 0.7, "rising chime",
                   {0.07, 0.35, 0.4}));

    // Tics
    v.push_back(Fx("SFX_BasicTicEnter", 9, 0.13,
                   {Osc(W::Sine, 300).Slide(900, 3.0).Len(0.04).Env(0.001, 0.06, 0.0, 0.03),
                    Osc(W::Noise, 0).Len(0.005).Env(0.0005, 0.005, 0.0, 0.002).Hp(2000).Gain(0.3)},
                   0.7, "pop"));
    const char* colours[] = {"Red", "Green", "Blue", "Yellow", "Purple"};
    const double colourHz[] = {660, 740, 830, 990, 550};
    for (int i = 0; i < 5; ++i)
        v.push_back(Fx((std::string("SFX_TicSpeared-Basic") + colours[i]).c_str(),
                       10u + static_cast<uint32_t>(i), 0.2, Squeak(colourHz[i]), 0.7,
                       "squeak at the colour's pitch"));
    v.push_back(Fx("SFX_TicSpeared-Shy", 15, 0.28,
                   {Osc(W::Sine, 900).Slide(700).Vib(9, 0.5).Len(0.2).Env(0.03, 0.1, 0.5, 0.06)}, 0.5,
                   "timid falling whistle"));
    v.push_back(Fx("SFX_TicSpeared-Loner", 16, 0.34,
                   {Osc(W::Triangle, 330).Slide(294).Len(0.25).Env(0.02, 0.2, 0.4, 0.08).Lp(2000)}, 0.7,
                   "low lonely hoo"));
    v.push_back(Fx("SFX_TicSpeared-Protected", 17, 0.3,
                   {Osc(W::Sine, 1200).Ring(1730, 0.8).Len(0.05).Env(0.0005, 0.2, 0.0, 0.05),
                    Osc(W::Square, 240)
                        .Duty(0.3)
                        .Slide(360, 2.0)
                        .Len(0.1)
                        .Env(0.002, 0.1, 0.0, 0.04)
                        .Lp(2500)
                        .Gain(0.5)},
                   0.6, "metallic clink and squeak", {0.03, 0.3, 0.3}));
    v.push_back(Fx("SFX_TicSpeared-Indecisive", 18, 0.32,
                   {Osc(W::Square, 600)
                        .Duty(0.4)
                        .Arp({0, 3, 0, 3, 0, 3}, 0.04)
                        .Vib(7, 0.3)
                        .Len(0.24)
                        .Env(0.004, 0.2, 0.3, 0.06)
                        .Lp(3500)},
                   0.6, "wavering two-note squeak"));
    v.push_back(Fx("SFX_TicSpeared-Agreeable", 19, 0.28,
                   {Osc(W::Sine, 523).Arp({0, 4}, 0.1).Len(0.2).Env(0.01, 0.15, 0.4, 0.06),
                    Osc(W::Sine, 1046).Arp({0, 4}, 0.1).Len(0.2).Env(0.01, 0.1, 0.0, 0.05).Gain(0.2)},
                   0.6, "pleasant mm-hm"));
    v.push_back(Fx("SFX_TicSpeared-Pairing", 20, 0.32,
                   Join(Squeak(700), {Osc(W::Square, 880)
                                          .Duty(0.25)
                                          .Slide(1320, 2.0)
                                          .Vib(16, 0.4)
                                          .At(0.08)
                                          .Len(0.12)
                                          .Env(0.005, 0.1, 0.3, 0.05)
                                          .Lp(4000)}),
                   0.6, "two squeaks in a row"));

    // Kings
    v.push_back(Fx("SFX_TicSpeared-SmallCircle", 21, 0.28,
                   {Osc(W::Saw, 220).Slide(330, 2.0).Len(0.15).Env(0.003, 0.15, 0.2, 0.08).Lp(1500),
                    Osc(W::Sine, 90).Slide(60).Len(0.08).Env(0.001, 0.08, 0.0, 0.03)},
                   0.7, "low squawk with a thud"));
    v.push_back(Fx("SFX_TicSpeared-LargeCircle", 22, 0.38,
                   {Osc(W::Saw, 160).Slide(240, 2.0).Len(0.2).Env(0.004, 0.2, 0.3, 0.1).Lp(1200),
                    Osc(W::Noise, 0).Len(0.05).Env(0.001, 0.05, 0.0, 0.02).Lp(800).Gain(0.5),
                    Osc(W::Sine, 70).Slide(45).Len(0.12).Env(0.001, 0.12, 0.0, 0.04)},
                   0.8, "deep squawk with a thud"));
    v.push_back(Fx("SFX_TicSpeared-Trail", 23, 0.36,
                   {Osc(W::Sine, 200).Slide(300).Vib(18, 2.0).Len(0.26).Env(0.01, 0.2, 0.4, 0.08)}, 0.7,
                   "gloopy warble"));
    v.push_back(Fx("SFX_Action-SmallCircle", 24, 0.42,
                   {Osc(W::Square, 440)
                        .Duty(0.5)
                        .Arp({0, 5, 10}, 0.06)
                        .Len(0.3)
                        .Env(0.005, 0.25, 0.3, 0.1)
                        .Lp(800, 4000)},
                   0.6, "pulsing ring spreading out", {0.05, 0.3, 0.3}));
    v.push_back(Fx("SFX_Action-LargeCircle", 25, 0.62,
                   {Osc(W::Saw, 110).Len(0.45).Env(0.01, 0.4, 0.3, 0.15).Lp(400, 3000),
                    Osc(W::Saw, 220.8).Len(0.45).Env(0.01, 0.4, 0.3, 0.15).Lp(400, 3000).Gain(0.6)},
                   0.7, "wide rising shock wave", {0.06, 0.35, 0.35}));
    v.push_back(Fx("SFX_Action-Trail", 26, 0.5,
                   {Osc(W::Noise, 0).Len(0.4).Env(0.05, 0.3, 0.3, 0.1).Lp(600),
                    Osc(W::Sine, 150).Slide(90).Vib(10, 1.0).Len(0.4).Env(0.02, 0.3, 0.3, 0.1).Gain(0.8)},
                   0.7, "slimy slide"));
    v.push_back(Fx("SFX_MegaTicEnter", 27, 0.8,
                   {Osc(W::Saw, 55).Slide(110).Len(0.6).Env(0.15, 0.4, 0.6, 0.2).Lp(700),
                    Osc(W::Noise, 0).Len(0.6).Env(0.2, 0.3, 0.4, 0.2).Lp(300).Gain(0.6)},
                   0.8, "big low rumble rising"));
    v.push_back(Fx("SFX_MegaTicTrail", 28, 0.42,
                   {Osc(W::Sine, 120).Vib(12, 1.5).Len(0.3).Env(0.02, 0.25, 0.3, 0.1),
                    Osc(W::Noise, 0).Len(0.3).Env(0.02, 0.25, 0.2, 0.1).Lp(500).Gain(0.4)},
                   0.7, "heavy squelch"));
    v.push_back(Fx("SFX_MegaTicDamaged", 29, 0.32,
                   {Osc(W::Square, 200).Duty(0.3).Slide(120).Len(0.2).Env(0.002, 0.2, 0.2, 0.08).Lp(2000),
                    Osc(W::Noise, 0).Len(0.04).Env(0.001, 0.04, 0.0, 0.02).Lp(2500).Gain(0.6)},
                   0.8, "hurt grunt"));
    v.push_back(
        Fx("SFX_MegaTicDie", 30, 1.2,
           {Osc(W::Saw, 400).Slide(60, 0.7).Vib(6, 0.6).Len(0.95).Env(0.01, 0.9, 0.5, 0.2).Lp(2500, 400),
            Osc(W::Noise, 0).At(0.85).Len(0.15).Env(0.002, 0.15, 0.0, 0.15).Lp(1500).Gain(0.8)},
           0.8, "long descending wail with a final burst"));
    v.push_back(Fx("SFX_MegaTicExplodeWarning", 31, 0.5,
                   {Osc(W::Square, 880)
                        .Duty(0.5)
                        .Len(0.07)
                        .Env(0.002, 0.07, 0.5, 0.02)
                        .Lp(3000)
                        .Scatter(3, 0.15, 0.0, {}, 0)},
                   0.6, "three alarm beeps"));
    v.push_back(Fx("SFX_MegaTicExplode", 32, 1.2,
                   {Osc(W::Noise, 0).Len(0.9).Env(0.002, 0.9, 0.0, 0.2).Lp(2000, 200),
                    Osc(W::Sine, 80).Slide(30).Len(0.6).Env(0.002, 0.6, 0.0, 0.1)},
                   0.9, "big boom", {0.08, 0.3, 0.3}));

    // Power-ups
    v.push_back(
        Fx("SFX_TicSpeared-Freeze", 33, 0.42,
           {Osc(W::Sine, 2093).Ring(2637, 0.5).Arp({0, 5, 0, 5}, 0.05).Len(0.25).Env(0.002, 0.25, 0.2, 0.12),
            Osc(W::Noise, 0).Len(0.2).Env(0.01, 0.2, 0.0, 0.05).Hp(6000).Gain(0.2)},
           0.5, "icy shimmer", {0.04, 0.4, 0.3}));
    v.push_back(Fx("SFX_TicSpeared-Shrink", 34, 0.26,
                   {Osc(W::Sine, 1500).Slide(300, 2.0).Len(0.2).Env(0.002, 0.2, 0.3, 0.04)}, 0.6,
                   "descending zip"));
    v.push_back(Fx("SFX_TicSpeared-UnifyColors", 35, 0.5,
                   {Osc(W::Square, 523)
                        .Duty(0.4)
                        .Arp({0, 4, 7, 12, 16}, 0.06)
                        .Len(0.32)
                        .Env(0.002, 0.3, 0.4, 0.12)
                        .Lp(3500)},
                   0.5, "quick major arpeggio", {0.05, 0.3, 0.3}));
    v.push_back(Fx("SFX_TicSpeared-DeepClean", 36, 0.5,
                   {Osc(W::Sine, 500)
                        .Slide(1000, 2.0)
                        .Len(0.05)
                        .Env(0.002, 0.05, 0.0, 0.02)
                        .Scatter(6, 0.06, 0.02, pentatonic, 1)},
                   0.6, "bubbles"));
    v.push_back(Fx("SFX_TicSpeared-Damage", 37, 0.32,
                   {Osc(W::Noise, 0).Len(0.1).Env(0.001, 0.1, 0.0, 0.05).Lp(3000),
                    Osc(W::Square, 150).Duty(0.5).Slide(80).Len(0.15).Env(0.001, 0.15, 0.0, 0.05).Lp(1200)},
                   0.7, "crunchy hit"));
    v.push_back(
        Fx("SFX_Action-Freeze", 38, 0.8,
           {Osc(W::Noise, 0).Len(0.01).Env(0.0005, 0.01, 0.0, 0.005).Hp(4000).Scatter(12, 0.05, 0.02, {}, 2),
            Osc(W::Sine, 3000).Vib(8, 0.3).Len(0.5).Env(0.1, 0.4, 0.2, 0.2).Gain(0.3)},
           0.5, "freezing crackle and shimmer", {0.05, 0.3, 0.3}));
    v.push_back(Fx("SFX_Action-Shrink", 39, 0.6,
                   {Osc(W::Noise, 0).Len(0.45).Env(0.05, 0.4, 0.2, 0.1).Lp(4000, 300),
                    Osc(W::Sine, 1200).Slide(200).Len(0.45).Env(0.02, 0.4, 0.3, 0.1).Gain(0.5)},
                   0.6, "downward whoosh"));
    v.push_back(Fx("SFX_Action-UnifyColors", 40, 0.8,
                   {Osc(W::Triangle, 523)
                        .Arp({0, 2, 4, 7, 9, 12, 14, 16, 19, 21, 24}, 0.04)
                        .Len(0.45)
                        .Env(0.005, 0.45, 0.5, 0.2)},
                   0.5, "pentatonic glissando up", {0.07, 0.4, 0.4}));
    v.push_back(Fx("SFX_Action-DeepClean", 41, 0.8,
                   {Osc(W::Noise, 0).Len(0.5).Env(0.05, 0.4, 0.3, 0.2).Lp(1200, 3000).Hp(300).Gain(0.6),
                    Osc(W::Sine, 400)
                        .Slide(900, 2.0)
                        .Len(0.06)
                        .Env(0.002, 0.06, 0.0, 0.02)
                        .Scatter(8, 0.08, 0.03, pentatonic, 3)},
                   0.6, "scrubbing splash with bubbles"));
    v.push_back(Fx("SFX_Action-Damage", 42, 0.7,
                   {Osc(W::Noise, 0).Len(0.5).Env(0.002, 0.5, 0.0, 0.15).Lp(3000, 300),
                    Osc(W::Sine, 100).Slide(40).Len(0.35).Env(0.002, 0.35, 0.0, 0.1)},
                   0.8, "small explosion"));
    v.push_back(Fx("SFX_PosiTicEnter", 43, 0.55, Chime({0, 7, 12, 19}, 1047, 0.05, 0.35), 0.5, "sparkle",
                   {0.05, 0.35, 0.4}));

    // Life and line
    v.push_back(Fx("SFX_ExplodeWarning", 44, 0.5,
                   {Osc(W::Noise, 0).Len(0.4).Env(0.02, 0.4, 0.5, 0.08).Hp(3000).Gain(0.3),
                    Osc(W::Sine, 1000).Len(0.06).Env(0.002, 0.06, 0.5, 0.02).Scatter(2, 0.2, 0.0, {}, 0)},
                   0.6, "fuse hiss and two beeps"));
    v.push_back(Fx("SFX_TicExplode", 45, 0.4,
                   {Osc(W::Noise, 0).Len(0.25).Env(0.001, 0.25, 0.0, 0.1).Lp(1500, 300),
                    Osc(W::Sine, 250).Slide(80, 2.0).Len(0.15).Env(0.001, 0.15, 0.0, 0.05)},
                   0.8, "splat"));
    v.push_back(Fx("SFX_BadSpear", 46, 0.35,
                   {Osc(W::Square, 110).Duty(0.5).Ring(70, 0.5).Len(0.25).Env(0.005, 0.2, 0.6, 0.08).Lp(2000),
                    Osc(W::Saw, 116).Len(0.25).Env(0.005, 0.2, 0.6, 0.08).Lp(2000).Gain(0.6)},
                   0.6, "buzz"));
    v.push_back(Fx("SFX_EnterTrap", 47, 0.32,
                   {Osc(W::Sine, 400).Slide(150, 2.0).Len(0.12).Env(0.005, 0.12, 0.2, 0.04),
                    Osc(W::Sine, 300).Slide(120, 2.0).At(0.14).Len(0.1).Env(0.005, 0.1, 0.2, 0.05).Gain(0.7)},
                   0.7, "gulp"));
    v.push_back(Fx("SFX_LineSpear", 48, 0.5,
                   {Osc(W::Pluck, 147).Len(0.45).Env(0.001, 0.0, 1.0, 0.05).Damp(0.995),
                    Osc(W::Sine, 147).Slide(140).Len(0.3).Env(0.001, 0.3, 0.0, 0.05).Gain(0.3)},
                   0.7, "twang"));
    v.push_back(Fx("SFX_ClickTrap", 49, 0.06,
                   {Osc(W::Noise, 0).Len(0.005).Env(0.0005, 0.005, 0.0, 0.002).Hp(1000),
                    Osc(W::Triangle, 1200).Len(0.012).Env(0.0005, 0.012, 0.0, 0.005).Gain(0.6)},
                   0.5, "click"));
    v.push_back(Fx(
        "SFX_BeginLine", 50, 0.36,
        {Osc(W::Noise, 0).Len(0.004).Env(0.0005, 0.004, 0.0, 0.002).Hp(2000).Scatter(10, 0.028, 0.004, {}, 4),
         Osc(W::Sine, 600).Slide(900).Len(0.25).Env(0.02, 0.2, 0.3, 0.08).Gain(0.3)},
        0.5, "unspooling clicks"));

    // The final warning loops under the music: a heartbeat whose tones run whole
    // periods in the second (63 Hz: 350 samples; 1050 Hz: 21), silent at both ends.
    // The beat starts a little in, so the seam falls in silence.
    SoundSpec warning = Fx("SFX_FinalWarning", 52, 1.0,
                           {Osc(W::Sine, 63).At(0.02).Len(0.07).Env(0.004, 0.09, 0.0, 0.03),
                            Osc(W::Sine, 126).At(0.02).Len(0.05).Env(0.002, 0.05, 0.0, 0.02).Gain(0.4),
                            Osc(W::Triangle, 1050).At(0.02).Len(0.01).Env(0.001, 0.01, 0.0, 0.005).Gain(0.25),
                            Osc(W::Sine, 63).At(0.26).Len(0.06).Env(0.004, 0.08, 0.0, 0.03).Gain(0.7),
                            Osc(W::Sine, 126).At(0.26).Len(0.04).Env(0.002, 0.04, 0.0, 0.02).Gain(0.3)},
                           1.0, "heartbeat tick, loops");
    warning.format = SoundFormat::Ogg;
    warning.loops = true;

    // Level
    v.push_back(Fx("SFX_TimeWarning", 51, 0.8,
                   {Osc(W::Triangle, 880).Len(0.2).Env(0.003, 0.2, 0.4, 0.08),
                    Osc(W::Triangle, 660).At(0.25).Len(0.2).Env(0.003, 0.2, 0.4, 0.08),
                    Osc(W::Triangle, 880).At(0.5).Len(0.15).Env(0.003, 0.15, 0.4, 0.1)},
                   0.7, "two-tone chime, three notes"));
    v.push_back(warning);
    v.push_back(Fx("SFX_GunkGone", 53, 0.9,
                   Join(Chime({0, 4, 7, 12, 16}, 659, 0.06, 0.5),
                        {Osc(W::Noise, 0).Len(0.3).Env(0.1, 0.2, 0.0, 0.2).Hp(5000).Gain(0.1)}),
                   0.7, "happy sparkle swell", {0.06, 0.35, 0.4}));
    v.push_back(Fx("SFX_ObstacleDisappear", 54, 0.5,
                   {Osc(W::Noise, 0).Len(0.3).Env(0.005, 0.3, 0.0, 0.1).Lp(2000, 500),
                    Osc(W::Sine, 600).Slide(1200, 2.0).Len(0.12).Env(0.005, 0.12, 0.0, 0.05).Gain(0.5)},
                   0.6, "poof"));
    v.push_back(
        Fx("SFX_LoopSuccess", 55, 0.65, Chime({0, 7}, 1047, 0.1, 0.45), 0.6, "ding-ding", {0.05, 0.3, 0.3}));
    v.push_back(Fx("SFX_LoopFail", 56, 0.42,
                   {Osc(W::Square, 300).Duty(0.5).Slide(200).Len(0.3).Env(0.005, 0.3, 0.4, 0.08).Lp(1500)},
                   0.6, "sad bwomp"));
    v.push_back(
        Fx("SFX_BigLoopFail", 57, 0.72,
           {Osc(W::Saw, 220).Arp({0, -1, -2}, 0.16).Vib(5, 0.3).Len(0.55).Env(0.005, 0.5, 0.5, 0.12).Lp(1400),
            Osc(W::Saw, 110).Arp({0, -1, -2}, 0.16).Len(0.55).Env(0.005, 0.5, 0.5, 0.12).Lp(800).Gain(0.5)},
           0.7, "long sad descending bwomp"));
    v.push_back(Fx("SFX_PositicSpawnSpear", 58, 0.5,
                   Join({Osc(W::Sine, 600).Slide(2400, 1.5).Len(0.3).Env(0.01, 0.3, 0.3, 0.08).Gain(0.5)},
                        Chime({12, 19, 24}, 1047, 0.06, 0.2)),
                   0.6, "magic ascent with sparkles", {0.05, 0.3, 0.3}));
    v.push_back(Fx("SFX_ClearGunk", 59, 0.42,
                   {Osc(W::Noise, 0).Len(0.3).Env(0.03, 0.25, 0.2, 0.1).Lp(800, 2500),
                    Osc(W::Sine, 200).Slide(400).Vib(14, 1.0).Len(0.25).Env(0.01, 0.25, 0.2, 0.08).Gain(0.5)},
                   0.6, "squishy wipe"));
    v.push_back(Fx("SFX_EndlessGunkSpawn", 60, 0.42,
                   {Osc(W::Sine, 180).Slide(90).Vib(8, 1.0).Len(0.3).Env(0.01, 0.3, 0.2, 0.08),
                    Osc(W::Noise, 0).Len(0.2).Env(0.01, 0.2, 0.0, 0.08).Lp(500).Gain(0.4)},
                   0.6, "low bloop"));

    return v;
}

std::vector<SoundSpec> MakeAmbient()
{
    std::vector<SoundSpec> v;
    const double seconds[] = {2.4, 2.8, 2.2, 3.0};
    const double roots[] = {1046.5, 880.0, 1174.7, 987.8};
    for (int i = 0; i < 4; ++i)
    {
        const double d = seconds[i];
        const std::vector<int> pentatonic{0, 2, 4, 7, 9, 12};
        std::vector<Layer> layers{
            Osc(W::Noise, 0).Len(d - 0.9).Env(0.8, 0.4, 0.6, 0.8).Lp(900).Hp(200).Gain(0.3),
            Osc(W::Sine, roots[i])
                .At(0.2)
                .Len(1.0)
                .Env(0.002, 1.0, 0.0, 0.2)
                .Gain(0.5)
                .Scatter(3 + i % 2, 0.55, 0.15, pentatonic, 7),
            Osc(W::Sine, roots[i] * 2.76)
                .At(0.2)
                .Len(0.35)
                .Env(0.001, 0.35, 0.0, 0.1)
                .Gain(0.12)
                .Scatter(3 + i % 2, 0.55, 0.15, pentatonic, 7),
        };
        SoundSpec s = Fx("", 70u + static_cast<uint32_t>(i), d, std::move(layers), 1.0, "soft chimes and air",
                         {0.09, 0.4, 0.5});
        s.file = "amb_" + std::to_string(i + 1);
        s.format = SoundFormat::Ogg;
        v.push_back(std::move(s));
    }
    return v;
}
} // namespace

const std::vector<SoundSpec>& Effects()
{
    static const std::vector<SoundSpec> effects = MakeEffects();
    return effects;
}

const std::vector<SoundSpec>& AmbientFiles()
{
    static const std::vector<SoundSpec> files = MakeAmbient();
    return files;
}

std::vector<int16_t> RenderSound(const SoundSpec& fileSpec)
{
    const double peakDb = EffectPeakDb - (fileSpec.format == SoundFormat::Ogg ? OggHeadroomDb : 0.0);
    return Finish(Render(fileSpec.patch, EffectRate), EffectRate, EffectFadeSeconds, Det::DbToGain(peakDb));
}
} // namespace AudioGen
