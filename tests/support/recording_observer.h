// An observer of the window model that records every property change and
// every repaint request, in order.
#pragma once

#include <utility>
#include <vector>

#include "window/window_model.h"

namespace korvane::testing {

class RecordingObserver : public FieldObserver {
 public:
  void fieldChanged(Field& field, Property property) override { changes.push_back({&field, property}); }
  void repaintNow(Field& field) override { repaints.push_back(&field); }

  bool changed(const Field& field, Property property) const {
    for (const auto& [f, p] : changes) {
      if (f == &field && p == property) return true;
    }
    return false;
  }
  bool repainted(const Field& field) const {
    for (const Field* f : repaints) {
      if (f == &field) return true;
    }
    return false;
  }
  void clear() {
    changes.clear();
    repaints.clear();
  }

  std::vector<std::pair<Field*, Property>> changes;
  std::vector<Field*> repaints;
};

}  // namespace korvane::testing
