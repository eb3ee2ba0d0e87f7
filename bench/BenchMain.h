#pragma once

#include <QApplication>

#include <memory>

namespace benchmain {

// The set-up every benchmark program shares: the offscreen platform, a Dutch locale, the Fusion
// style, and Google Benchmark's own arguments. Empty when an argument is not understood.
std::unique_ptr<QApplication> start(int &argc, char **argv);

}  // namespace benchmain
