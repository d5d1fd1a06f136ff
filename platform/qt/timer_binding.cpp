#include "platform/qt/timer_binding.h"

namespace stb {

TimerBinding::TimerBinding(TTimer& timer, QObject* parent) : QObject(parent), timer_(timer) {
  qtimer_.setTimerType(Qt::PreciseTimer);
  connect(&qtimer_, &QTimer::timeout, this, [this] { timer_.Tick(); });
  Sync();
}

void TimerBinding::Sync() {
  const int interval = timer_.Interval();
  if (interval <= 0) {
    qtimer_.stop();
  } else if (!qtimer_.isActive() || qtimer_.interval() != interval) {
    qtimer_.start(interval);
  }
}

}  // namespace stb
