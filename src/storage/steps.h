// Long work runs as step functions called once per tick: 0 to 99 while the
// work goes on (a percentage where one makes sense), then one of these.
#pragma once

namespace trelvan {

constexpr int kStepDone = 100;
constexpr int kStepFailed = 65535;

}  // namespace trelvan
