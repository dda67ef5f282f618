// The upload: every marked field, in the controller's order, checked,
// converted to raw units and sent with its own command. The controller's
// echo rewrites each field and clears its mark; the upload never does.
#include "comm/upload.h"

#include <string>

#include "comm/upload_conversions.h"
#include "link/command.h"

namespace korvane {
namespace {

constexpr int kSettleMs = 200;  // the controller's pause after a parameter it stores

struct Upload {
  Program& program;
  TFrm_Mapping& w;
  // Set when the full scale or the MAP range was sent in this upload and the
  // controller's echo did not come: what the program holds may then not be
  // what the controller holds, and the rev limiter and the pressure are
  // encoded against them.
  bool fullScaleUnconfirmed = false;
  bool rangeUnconfirmed = false;

  long double number(const Field& field) const { return uploadNumber(field.text(), program.decimalSeparator); }
  void refuse(const char* message) const { program.desktop.messageBox(message, "ERROR"); }
  void settle() const { program.desktop.sleep(kSettleMs); }
  void send(char letter, std::int32_t value) const { SendCommand(program, makeCommand(letter, value)); }
  // Whether the exchange just made was answered by its own echo.
  bool echoed(char letter) const { return program.ReplyReceived && program.LastReplyLetter == letter; }

  void fuelScaler() const {
    if (!w.Fuel_mx.marked()) return;
    const std::int32_t raw = fuelScalerRaw(number(w.Fuel_mx));
    if (raw < 0) return refuse("The value for the Fuel Scaler is negative, it will not be updated");
    if (raw > 65535) return refuse("The value for the Fuel Scaler is too high, it will not be updated");
    w.Fuel_mx.repaint();
    send('m', raw);
  }

  void gainCells() const {
    int blank = 0;
    for (std::size_t i = 0; i < w.GainCells.size(); ++i) {
      Field& cell = *w.GainCells[i];
      if (!cell.marked()) continue;
      // A blank cell was never read from the controller: sending it would
      // write zero fuel into that cell.
      if (cell.text().empty()) {
        ++blank;
        continue;
      }
      const std::int32_t g = gainRaw(number(cell));
      if (g >= 256) {
        refuse("A MAP Gain cell has been found that is too high, it will not be updated");
      } else if (g < 0) {
        refuse("A MAP Gain cell has been found that is negative, it will not be updated");
      } else {
        cell.repaint();
        SendCommand(program, writeGainCellCommand(static_cast<std::int64_t>(i), g));
      }
    }
    if (blank > 0) {
      program.desktop.messageBox(std::to_string(blank) +
                                     " blank MAP Gain cell(s) have been found, they will not be updated. "
                                     "Read the controller again to fill them.",
                                 "ERROR");
    }
  }

  void fullScale() {
    if (!w.FS_RPM.marked()) return;
    const std::int32_t rpm = integerConversion(number(w.FS_RPM));
    if (rpm <= 999) return refuse("The value for the Full Scale RPM is too low, Parameter will not be updated");
    const std::int32_t period = oneShotRaw(rpm);
    if (period == 0) return refuse("The value for the Full Scale RPM is too high, Parameter will not be updated");
    send('q', period);
    fullScaleUnconfirmed = !echoed('q');
    // The rev limiter is a fraction of the full scale: send it again against
    // the new one, which the echo has just set.
    w.max_rpm.setColour(kYellow);
    w.max_rpm.repaint();
  }

  void revLimiter() const {
    if (!w.max_rpm.marked()) return;
    const long double x = number(w.max_rpm);
    if (program.ControllerSettings.FullScaleRpm == 0) {
      return refuse("The Full Scale RPM is not known yet, the Rev Limiter will not be updated");
    }
    // Encoded against a full scale the controller may not hold, the limit
    // would land at another engine speed.
    if (fullScaleUnconfirmed) {
      return refuse("The Full Scale RPM was not confirmed by the controller, the Rev Limiter will not be updated");
    }
    std::int32_t k = revLimiterRaw(x, program.ControllerSettings.FullScaleRpm);
    if (k > 1023) {
      k = 1023;
      refuse("The value of the fuel cut RPM was too high, it has been adjusted");
    }
    if (k < 0) k = 0;
    send('i', k);
    settle();
  }

  void triggers(Field& field, char letter, const char* notPositive, const char* tooHigh) const {
    if (!field.marked()) return;
    const std::int32_t n = integerConversion(number(field));
    if (n <= 0) return refuse(notPositive);
    if (n > 255) return refuse(tooHigh);
    send(letter, n);
    settle();
  }

  void mapRange() {
    if (!w.Label18.marked()) return;
    const std::int32_t value = (w.map_type_2.checked() ? 1 : 0) + (w.map_type_3.checked() ? 2 : 0);
    send('v', value);
    rangeUnconfirmed = !echoed('v');
    settle();
  }

  void minPressure() const {
    if (!w.Min_Pressure.marked()) return;
    const long double x = number(w.Min_Pressure);
    const ControllerSettings& s = program.ControllerSettings;
    if (s.MapSpanKpa == 0) {
      return refuse("The MAP sensor range is not known yet, the Cut Fuel Below pressure will not be updated");
    }
    if (rangeUnconfirmed) {
      return refuse(
          "The MAP sensor range was not confirmed by the controller, the Cut Fuel Below pressure will not be updated");
    }
    send('p', pressureRaw(x, s.MapOffsetKpa, s.MapSpanKpa));
    settle();
  }

  void rateCut() const {
    if (!w.Rate_Cut.marked()) return;
    const std::int32_t r = integerConversion(number(w.Rate_Cut));
    if (r <= 0 || r >= 255) {
      return refuse(
          "The value for the MAP Rate Cut Sensitivity is zero or an illegal value, Parameter will not be updated");
    }
    send('z', r);
    settle();
  }

  void pulseMode() const {
    if (!w.Flag_Value.marked()) return;
    std::int32_t value = 2;  // neither button checked
    if (w.Pulse_Mode_0.checked()) value = 0;
    if (w.Pulse_Mode_1.checked()) value = 1;
    send('f', value);
    settle();
  }

  void fuelCutTime() const {
    if (!w.Fuel_Cut_Time.marked()) return;
    send('t', fuelCutTimeRaw(number(w.Fuel_Cut_Time)));
    settle();
  }

  void injInhibit() const {
    if (!w.Inj_Inhibit.marked()) return;
    send('u', injInhibitRaw(number(w.Inj_Inhibit)));
    settle();
  }

  void run() {
    fuelScaler();
    gainCells();
    fullScale();
    revLimiter();
    triggers(w.Ign_Cycles, 'j',
             "The value for the Number of Triggers per Injection is zero or negative, Parameter will not be updated",
             "The value for the Number of Triggers per Injection is too high, Parameter will not be updated");
    triggers(w.Num_Cyls, 'k',
             "The value for the Number of Triggers per revolution is zero or negative, Parameter will not be updated",
             "The value for the Number of Triggers per revolution is too high, Parameter will not be updated");
    mapRange();
    minPressure();
    rateCut();
    pulseMode();
    fuelCutTime();
    injInhibit();
  }
};

}  // namespace

void Button1Click(Program& program) {
  ControllerBusy busy(program);
  program.CommState = CommState::Uploading;
  program.desktop.sleep(kSettleMs);
  try {
    Upload{program, program.Frm_Mapping}.run();
  } catch (...) {
    // A field that cannot be read ends the upload; live polling goes on.
    program.CommState = CommState::Monitoring;
    throw;
  }
  program.CommState = CommState::Monitoring;
}

}  // namespace korvane
