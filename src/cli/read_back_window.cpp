// A set file's values read back through the window's own appliers.
//
// A parameter the file does not set is whatever the controller held before,
// which the file cannot tell. It goes into the reply as 0, and everything
// worked out with it is shown as unknown: its own field, the rev limiter and
// the RPM axis without the tach period, the cut-fuel pressure and the MAP
// axis without the sensor range.
#include "cli/read_back_window.h"

#include <cstdlib>
#include <span>
#include <stdexcept>

#include "gain/gain_grid.h"
#include "link/controller_replies.h"
#include "link/reply_decoder.h"

namespace korvane {
namespace {

// Applies a reply as DecodeReply does once a read has returned its bytes.
void applyReply(Program& program, std::span<const std::uint8_t> bytes) {
  const ReplyKind* kind = findReplyKind(static_cast<char>(bytes[2]));
  if (kind == nullptr || kind->length != static_cast<int>(bytes.size())) {
    throw std::logic_error("a reply the decoder would not take");
  }
  program.LastReplyLetter = kind->letter;
  kind->apply(program, Reply(bytes));
}

void blankLabels(std::array<std::unique_ptr<Field>, 9>& labels) {
  for (auto& label : labels) label->setText(ReadBackWindow::kUnknownLabel);
}

}  // namespace

void UnseenDesktop::messageBox(const std::string& text, const std::string&) { messages.push_back(text); }

void UnseenDesktop::exceptionBox(const std::string& message) { messages.push_back(message); }

void UnseenDesktop::exitProcess(int status) { std::exit(status); }

// The window's port is never opened; were it asked to, it would find no line.
ReadBackWindow::ReadBackWindow(const SetFileValues& values)
    : values_(values), program_(desktop_, [] { return std::unique_ptr<SerialBackend>(); }) {
  TFrm_Mapping& w = program_.Frm_Mapping;
  createGainCells(program_, w.Gain_Table_Group.height());

  ControllerSettings held;
  for (std::size_t i = 0; i < kParameterCount; ++i) held.*kSetFileParameters[i].raw = values.parameters[i].value_or(0);
  // The one message a configuration reply raises is about a tach period of
  // 0. A period the file does not set goes in as 1, so that the message is
  // raised only by a file that sets 0.
  const bool periodKnown = values.parameters[parameterIndex("ONE_SHOT=")].has_value();
  if (!periodKnown) held.OneShotRaw = 1;
  applyReply(program_, configurationReplyOf(held));
  for (int cell = 0; cell < kGainCellCount; ++cell) {
    if (const auto gain = values.gains[static_cast<std::size_t>(cell)]) {
      applyReply(program_, gainCellReplyOf(cell, *gain));
    }
  }

  if (!periodKnown) blankLabels(w.rpm_lbl);
  if (!values.parameters[parameterIndex("MAP_TYPE=")]) blankLabels(w.map_lbl);
}

std::string ReadBackWindow::caption(std::size_t index) const {
  return (window().*kSetFileParameters[index].caption).text();
}

bool ReadBackWindow::known(std::size_t index) const {
  const SetFileParameter& p = kSetFileParameters[index];
  return values_.parameters[index].has_value() && (p.needs.empty() || values_.parameters[parameterIndex(p.needs)]);
}

std::optional<std::string> ReadBackWindow::shownText(std::size_t index) const {
  if (!known(index)) return std::nullopt;
  const SetFileParameter& p = kSetFileParameters[index];
  const TFrm_Mapping& w = window();
  if (p.field != nullptr) return (w.*p.field).text();
  for (const Field* field : w.model.fields()) {
    if (field->kind() == FieldKind::Radio && field->parent() == &(w.*p.caption) && field->checked()) {
      return field->text();
    }
  }
  return std::string();
}

std::optional<std::string> ReadBackWindow::gainText(int cell) const {
  if (!values_.gains[static_cast<std::size_t>(cell)]) return std::nullopt;
  return window().GainCells[static_cast<std::size_t>(cell)]->text();
}

}  // namespace korvane
