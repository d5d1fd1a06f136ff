// Runs a TTimer of the controls model on a QTimer: the interval set by the
// program starts, changes or stops it, and each timeout ticks the model.
#pragma once

#include <QObject>
#include <QTimer>

#include "platform/controls.h"

namespace stb {

class TimerBinding : public QObject {
  Q_OBJECT
 public:
  TimerBinding(TTimer& timer, QObject* parent = nullptr);
  // Re-reads the model's interval; the owner calls it from its observer.
  void Sync();

 private:
  TTimer& timer_;
  QTimer qtimer_;
};

}  // namespace stb
