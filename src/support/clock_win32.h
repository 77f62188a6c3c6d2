#pragma once

#include "support/time_stamp.h"

namespace varnolet {

class CrtClock final : public Clock {
 public:
  LocalTime Now() override;
};

}  // namespace varnolet
