#pragma once
// Ctrl-C: the first SIGINT sets a flag that the reading of the data and the analysis poll (through a
// KQQueryCancel), so that the command stops at the next record and exits with status 130 without a
// partial result. The handler is one-shot: a second Ctrl-C ends the process the usual way.

#include "companion/KQCancel.h"

namespace kqcli {

/// Installs the SIGINT handler; system calls it interrupts are not restarted, so a blocked read returns.
void InstallInterruptHandler();

/// True once SIGINT has arrived.
bool InterruptRequested() noexcept;

/// The analysis' question "stop?", answered by the SIGINT flag.
class InterruptQuery final : public KQCommon_850::KQQueryCancel {
 public:
  bool IsCancel() override { return InterruptRequested(); }
};

}  // namespace kqcli
