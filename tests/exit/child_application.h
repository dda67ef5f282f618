// The application of a child run that needs an event loop: the exit signals
// are handed over from it.
#pragma once

#include <QCoreApplication>

namespace korvane::testing {

class ChildApplication : public QCoreApplication {
 public:
  ChildApplication() : QCoreApplication(argc_, argv_) {}

 private:
  static inline int argc_ = 1;
  static inline char name_[] = "exit_tests";
  static inline char* argv_[] = {name_, nullptr};
};

}  // namespace korvane::testing
