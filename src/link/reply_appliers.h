// The appliers the reply table dispatches to. Each takes a reply whose letter
// and length the decoder has already checked, and first sets ReplyReceived.
#pragma once

#include "link/reply_decoder.h"
#include "window/program.h"

namespace korvane {

// '+', '-' and 'o': accepted and nothing more; a '-' is no refusal.
void applyAcknowledgement(Program& program, const Reply& reply);

// 'A': live RPM, MAP and pulse width, and the two cursor bars.
void applyLiveData(Program& program, const Reply& reply);

// 'R': the firmware revision; moves any state to ReadingAll.
void applyRevision(Program& program, const Reply& reply);

// 'C': the whole configuration; moves any state to Monitoring.
void applyConfiguration(Program& program, const Reply& reply);

// 'E' and 'e': one gain cell.
void applyGainCell(Program& program, const Reply& reply);

// The parameter echoes, one per parameter command.
void applyPulseModeEcho(Program& program, const Reply& reply);    // 'f'
void applyRevLimiterEcho(Program& program, const Reply& reply);   // 'i'
void applyTrigsPerInjEcho(Program& program, const Reply& reply);  // 'j'
void applyTrigsPerRevEcho(Program& program, const Reply& reply);  // 'k'
void applyFuelScalerEcho(Program& program, const Reply& reply);   // 'm'
void applyMinPressureEcho(Program& program, const Reply& reply);  // 'p'
void applyOneShotEcho(Program& program, const Reply& reply);      // 'q'
void applyCutTimeEcho(Program& program, const Reply& reply);      // 't'
void applyInhibitTimeEcho(Program& program, const Reply& reply);  // 'u'
void applyMapTypeEcho(Program& program, const Reply& reply);      // 'v'
void applyRateCutEcho(Program& program, const Reply& reply);      // 'z'

}  // namespace korvane
