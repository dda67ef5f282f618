// The headless route: the end-to-end session, its recording desktop and its
// timer played by hand; no window is drawn.
#include <stdexcept>
#include <utility>

#include "route.h"
#include "support/sim_session.h"

namespace korvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

class HeadlessRoute : public Route {
 public:
  HeadlessRoute(const std::string& simPath, std::chrono::seconds budget) : session_(simPath, {}, false, budget) {}

  std::string description() const override { return "headless"; }
  Program& program() override { return session_.program(); }

  std::vector<std::string> messages() const override {
    std::vector<std::string> texts = session_.desktop.messageTexts();
    texts.insert(texts.end(), session_.desktop.exceptions.begin(), session_.desktop.exceptions.end());
    return texts;
  }
  void answerSaveDialog(const std::string& file) override { session_.desktop.saveAnswers.push_back(file); }
  void answerOpenDialog(const std::string& file) override { session_.desktop.openAnswers.push_back(file); }

  std::optional<double> click(Field& control, const std::function<bool()>& done,
                              std::chrono::milliseconds limit) override {
    if (!control.enabled()) throw std::runtime_error(control.name() + " is disabled");
    session_.timer.restart();  // as if a tick had just ended
    const Clock::time_point start = Clock::now();
    control.click();
    if (!session_.tickUntil(done, limit)) return std::nullopt;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }

  bool tickUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override {
    // The session asks before each tick; skipping the first question makes
    // every later one a question about the tick just run.
    bool ticked = false;
    return session_.tickUntil([&] { return std::exchange(ticked, true) && done(); }, limit);
  }

 private:
  testing::SimSession session_;
};

}  // namespace

std::unique_ptr<Route> makeHeadlessRoute(const std::string& simPath, std::chrono::seconds budget) {
  return std::make_unique<HeadlessRoute>(simPath, budget);
}

}  // namespace korvane::bench
