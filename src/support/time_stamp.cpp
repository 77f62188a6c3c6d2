#include "support/time_stamp.h"

#include "support/text.h"

namespace varnolet {

std::u16string TimeStampText(const LocalTime& time) {
  std::u16string text;
  text.reserve(20);
  text += Decimal(time.day);
  text += u'/';
  text += Decimal(time.month);
  text += u'/';
  text += Decimal(time.year);
  text += u' ';
  text += Decimal(time.hour);
  text += u':';
  text += Decimal(time.minute);
  text += u':';
  text += Decimal(time.second);
  return text;
}

}  // namespace varnolet
