// The script of the show: every timed effect, added to the timeline in a
// fixed order (among events of equal time the timeline keeps that order).
// Times are seconds of show time, zero at the start of the music.
#pragma once

// Adds all the show's effects; runs once, after the assets are loaded.
void addShowScript();

// The fish held at the centre from `t`, then opening and closing its mouth
// while its sample plays, from t + 1 to t + 5.
void addOpenCloseSequence(float t);
