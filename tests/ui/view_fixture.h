// A started-up program (recording desktop, no line) with its main view.
#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <memory>

#include "qt_app.h"
#include "support/headless_program.h"
#include "ui/main_view.h"

namespace korvane::testing {

class ViewTest : public ::testing::Test {
 protected:
  ViewTest() : started_((ensureQtApplication(), true)) {}

  // Builds the view; a test may add fields to the model before calling it.
  MainView& buildView() {
    view = std::make_unique<MainView>(*headless);
    return *view;
  }
  void SetUp() override {
    if (buildInSetUp_) buildView();
  }

  TFrm_Mapping& w() { return headless.window(); }
  QLineEdit* edit(const Field& field) { return qobject_cast<QLineEdit*>(view->widgetFor(field)); }
  QRadioButton* radio(const Field& field) { return qobject_cast<QRadioButton*>(view->widgetFor(field)); }

  bool started_;
  bool buildInSetUp_ = true;
  HeadlessProgram headless;
  std::unique_ptr<MainView> view;
};

}  // namespace korvane::testing
