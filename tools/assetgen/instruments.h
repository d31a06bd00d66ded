// The instruments both songs are played on, each built from synthesised samples with its own
// volume envelope: looped single-cycle voices for pads, leads and bass, one-shot samples for
// plucks and drums.
#pragma once

#include <vector>

#include "tools/xm/xm_module.h"

namespace assets {

// One period made from the given harmonic weights (1st, 2nd, ...), looped, in `length` frames.
xm::Sample HarmonicCycle(const char* name, const std::vector<double>& harmonics, int length = 128);

xm::Instrument SoftPad();     // slow swell, gentle vibrato
xm::Instrument Flute();       // breathy lead with delayed vibrato
xm::Instrument Harp();        // plucked string that rings away
xm::Instrument RoundBass();   // warm bass
xm::Instrument SquareLead();  // bright lead for the game song
xm::Instrument SawChord();    // buzzing chord voice
xm::Instrument PickBass();    // punchy bass for driving eighths
xm::Instrument Kick();
xm::Instrument Snare();
xm::Instrument HiHat();
xm::Instrument Shaker();
xm::Instrument Crash();

}  // namespace assets
