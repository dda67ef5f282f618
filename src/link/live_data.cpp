// The replies that carry no configuration: the acknowledgements, the live
// engine data with the two cursor bars, and the firmware revision.
#include <cstdio>
#include <limits>

#include "base/format_float.h"
#include "base/text_number.h"
#include "link/cursor_cell.h"
#include "link/reply_appliers.h"

namespace korvane {
namespace {

constexpr double kPulseSecondsPerCount = 0.0001024;
constexpr long double kPer1023 = 1.0L / 1023.0L;

std::int32_t truncateToInt32(long double value) {
  const std::int64_t wide = truncateToInt64(value);
  if (wide > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (wide < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(wide);
}

// The horizontal MAP bar. Its offset from map_beg is the pressure's share of
// the span in pixels; the span runs upwards, so the offset is negative. Until
// the sensor range is known there is no span to share, and the bar stays.
void moveMapCursor(Program& program, float mapKpa) {
  TFrm_Mapping& w = program.Frm_Mapping;
  const ControllerSettings& s = program.ControllerSettings;
  if (s.MapSpanKpa == 0) return;
  const float pixelSpan = static_cast<float>(w.map_end.top() - w.map_beg.top());
  const std::int32_t offset =
      truncateToInt32((static_cast<long double>(mapKpa) - s.MapOffsetKpa) / s.MapSpanKpa * pixelSpan);
  // Moved only when it changed: a steady engine causes no redraws.
  if (offset != program.LastMapCursorOffset) {
    w.map_p_ptr.setTop(w.map_beg.top() + offset);
    w.map_p_ptr.repaint();
  }
  program.LastMapCursorOffset = offset;
}

// The vertical RPM bar, likewise; it waits for the first full scale.
void moveRpmCursor(Program& program, std::int64_t rpm) {
  TFrm_Mapping& w = program.Frm_Mapping;
  const std::int32_t fullScale = program.ControllerSettings.FullScaleRpm;
  if (fullScale == 0) return;
  const float pixelSpan = static_cast<float>(w.rpm_end.left() - w.rpm_beg.left());
  const std::int32_t offset = truncateToInt32(static_cast<long double>(rpm) * pixelSpan / fullScale);
  if (offset != program.LastRpmCursorOffset) {
    w.map_r_ptr.setLeft(w.rpm_beg.left() + offset);
    w.map_r_ptr.repaint();
  }
  program.LastRpmCursorOffset = offset;
}

}  // namespace

void applyAcknowledgement(Program& program, const Reply&) { program.ReplyReceived = true; }

void applyLiveData(Program& program, const Reply& reply) {
  program.ReplyReceived = true;
  ControllerSettings& s = program.ControllerSettings;
  TFrm_Mapping& w = program.Frm_Mapping;

  const std::int64_t mapProduct = std::int64_t{reply.word(3)} * s.MapSpanKpa;
  const float mapKpa = static_cast<float>(static_cast<long double>(mapProduct) * kPer1023 + s.MapOffsetKpa);
  const std::int64_t rpmProduct = std::int64_t{reply.word(7)} * s.FullScaleRpm;
  const std::int64_t rpm = truncateToInt64(static_cast<long double>(rpmProduct) * kPer1023);
  s.InjectorPulseWidth = static_cast<float>(static_cast<long double>(reply.word(11)) * kPulseSecondsPerCount);

  const long double pulseWidthMs = static_cast<long double>(s.InjectorPulseWidth) * 1000;

  w.rpm_dpy.setText(FormatFloat("####0 RPM", static_cast<long double>(rpm), program.decimalSeparator));
  w.map_dpy.setText(FormatFloat("##0.0", mapKpa, program.decimalSeparator));
  w.inj_dpy.setText(FormatFloat("#0.00", pulseWidthMs, program.decimalSeparator));

  moveMapCursor(program, mapKpa);
  moveRpmCursor(program, rpm);

  if (program.liveDataSink) {
    program.liveDataSink->liveData(
        {reply.word(3), reply.word(7), reply.word(11), mapKpa, rpm, pulseWidthMs, cellUnderCursors(s, mapKpa, rpm)});
  }
}

void applyRevision(Program& program, const Reply& reply) {
  program.CommState = CommState::ReadingAll;
  program.ReplyReceived = true;
  const unsigned rev = reply.word(3);
  char text[24];
  std::snprintf(text, sizeof text, "v%1.1u.%2.2u.%2.2u", rev / 10000 % 100, rev / 100 % 100, rev % 100);
  program.Frm_Mapping.FW_Rev.setText(text);
  program.Frm_Mapping.FW_Rev.repaint();
}

}  // namespace korvane
